#pragma once

#include "device/SSerInfo.h"

#include <string>
#include <vector>

namespace orvane {

// The machine's serial ports from udev: tty devices with a parent device, without the placeholder ttyS
// ports the kernel creates for UARTs that are not there and without the ports the kernel uses as its
// console (a probe must never write frames onto a system console). Simulated instruments the program runs
// itself are listed too, like hardware.
class UdevPortEnumerator : public PortEnumerator {
public:
    std::vector<SSerInfo> Enumerate(std::string& error) override;

    // A simulated instrument to list as "Orvane Simulated Instrument (NAME)".
    void AddSimulated(const std::string& portName, const std::string& devicePath);

    // The kernel names in /sys/class/tty/console/active.
    static std::vector<std::string> ConsolePorts();

private:
    std::vector<SSerInfo> simulated_;
};

} // namespace orvane
