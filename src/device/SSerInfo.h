#pragma once

#include <string>
#include <vector>

namespace orvane {

// One enumerated serial port.
struct SSerInfo {
    std::string devicePath;   // what OpenPort takes, e.g. /dev/ttyUSB0
    std::string portName;     // e.g. ttyUSB0
    std::string friendlyName; // shown to the user, e.g. "FT232R USB UART (ttyUSB0)"
    bool usb = false;
    std::string description; // the friendly name without its port suffix
};

// Lists the machine's serial ports; tests inject their own.
class PortEnumerator {
public:
    virtual ~PortEnumerator() = default;
    // On failure the list is empty and error says why.
    virtual std::vector<SSerInfo> Enumerate(std::string& error) = 0;
};

} // namespace orvane
