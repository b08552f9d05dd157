#pragma once

#include "device/CSerialEx.h"
#include "device/SerialWindow.h"

#include <memory>
#include <string>

namespace orvane {

// A serial port whose events become SerialEvent notifications posted to a window.
class CSerialWnd : public CSerialEx {
public:
    CSerialWnd();
    ~CSerialWnd() override;

    // Opens the port, remembers where to post (message 0 means the default message), then starts the
    // event thread; if that fails the port is closed again.
    std::int32_t OpenForWindow(const std::string& name, SerialWindowHandle window, std::uint32_t message = 0,
                               std::intptr_t userValue = 0, std::uint32_t inQueue = 0,
                               std::uint32_t outQueue = 0);
    std::int32_t ClosePort() override;

    // The process-wide message registered under "CSerialWnd_DefaultComMsg".
    static std::uint32_t DefaultComMessage();
    // Hands out one message number per distinct name, the same number for the same name.
    static std::uint32_t RegisterMessage(const std::string& name);

    // The notification's first parameter.
    static std::uint32_t MakeParam(std::uint32_t events, std::uint32_t errors) {
        return (errors << 16) | (events & 0xFFFFu);
    }

protected:
    void OnSerialEvent(std::uint32_t events, std::uint32_t errors) override;

private:
    SerialWindowHandle window_{};
    std::uint32_t message_ = 0;
    std::intptr_t userValue_ = 0;
    // Notifications still queued when the port closes must not reach the window: each carries a weak
    // reference to the opening it belongs to.
    std::shared_ptr<int> opening_;
};

} // namespace orvane
