#pragma once

#include "device/CSerialWnd.h"

#include <cerrno>

namespace orvane {

// The serial port the program's windows use: it takes the framework's window object itself.
class CSerialMFC : public CSerialWnd {
public:
    using CSerialWnd::OpenForWindow;

    std::int32_t OpenForWindow(const std::string& name, SerialWindow* window, std::uint32_t message = 0,
                               std::intptr_t userValue = 0, std::uint32_t inQueue = 0,
                               std::uint32_t outQueue = 0) {
        if (window == nullptr)
            return Fail(EINVAL);
        return CSerialWnd::OpenForWindow(name, window->GetSafeHandle(), message, userValue, inQueue,
                                         outQueue);
    }
};

} // namespace orvane
