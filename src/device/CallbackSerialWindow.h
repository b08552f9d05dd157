#pragma once

#include "device/SerialWindow.h"

#include <functional>

namespace orvane {

// A window for the serial layer that hands each notification to a function: the programs without a
// window and the tests use it where the analyzer uses its main frame.
class CallbackSerialWindow : public SerialWindow, public SerialMessageSink {
public:
    using Handler = std::function<void(std::uint32_t param)>;

    CallbackSerialWindow(Poster& poster, Handler handler) : poster_(poster), handler_(std::move(handler)) {}

    SerialWindowHandle GetSafeHandle() override { return {&poster_, this}; }

    void OnSerialMessage(std::uint32_t, std::uint32_t param, std::intptr_t) override {
        if (handler_)
            handler_(param);
    }

private:
    Poster& poster_;
    Handler handler_;
};

} // namespace orvane
