#pragma once

#include "device/SSerInfo.h"

#include <string>
#include <vector>

namespace orvane {

// A port list holding only simulated instruments, for the demo: nothing touches real hardware.
class SimulatedPorts : public PortEnumerator {
public:
    void Add(const std::string& portName, const std::string& devicePath) {
        ports_.push_back(SSerInfo{devicePath, portName, "Orvane Simulated Instrument (" + portName + ")",
                                  false, "Orvane Simulated Instrument"});
    }
    std::vector<SSerInfo> Enumerate(std::string&) override { return ports_; }

private:
    std::vector<SSerInfo> ports_;
};

} // namespace orvane
