#pragma once

#include "shell/Poster.h"

#include <cstdint>

namespace orvane {

// Receives serial notifications on the behaviour thread, in the order they were posted.
class SerialMessageSink {
public:
    virtual ~SerialMessageSink() = default;
    // param: line-error bits in the high half, event bits in the low half; userValue as given at open.
    virtual void OnSerialMessage(std::uint32_t message, std::uint32_t param, std::intptr_t userValue) = 0;
};

// The "window handle" a notification is posted to: a queue onto the behaviour thread and the receiver.
struct SerialWindowHandle {
    Poster* poster = nullptr;
    SerialMessageSink* sink = nullptr;
};

// The user-interface framework's window object, as the serial layer sees it.
class SerialWindow {
public:
    virtual ~SerialWindow() = default;
    virtual SerialWindowHandle GetSafeHandle() = 0;
};

} // namespace orvane
