#include "device/ComPortSettings.h"

#include "device/PortNames.h"

#include <algorithm>

namespace orvane {

const std::vector<std::string>& ComPortSettings::BaudTexts() {
    static const std::vector<std::string> texts = {"921600", "460800"};
    return texts;
}
const std::vector<std::string>& ComPortSettings::DataBitTexts() {
    static const std::vector<std::string> texts = {"8", "7", "6", "5", "4"};
    return texts;
}
const std::vector<std::string>& ComPortSettings::ParityTexts() {
    static const std::vector<std::string> texts = {"None", "Even", "Odd", "Mark", "Space"};
    return texts;
}
const std::vector<std::string>& ComPortSettings::StopBitTexts() {
    static const std::vector<std::string> texts = {"1", "1.5", "2"};
    return texts;
}
const std::vector<std::string>& ComPortSettings::HandshakeTexts() {
    static const std::vector<std::string> texts = {"OFF", "CTS/RTS", "DSR/DTR"};
    return texts;
}

void ComPortSettings::Open(const std::vector<SSerInfo>& ports, int speed) {
    ports_ = ports;
    speed_ = std::clamp(speed, 0, 1);
}

void ComPortSettings::ChooseSpeed(int speed) {
    speed_ = std::clamp(speed, 0, 1);
}

void ComPortSettings::Accept() {
    const bool valid = portIndex_ >= 0 && portIndex_ < static_cast<int>(ports_.size());
    const std::string text = valid ? ports_[static_cast<std::size_t>(portIndex_)].friendlyName : "";
    devicePath_ = DevicePathFromText(text, ports_);
    baudText_ = BaudTexts()[static_cast<std::size_t>(speed_)];
}

std::string ComPortSettings::PortName() const {
    for (const SSerInfo& p : ports_) {
        if (p.devicePath == devicePath_)
            return p.portName;
    }
    return devicePath_;
}

std::string ComPortSettings::SetPortLine() const {
    return "Set port: " + devicePath_ + (speed_ == kNormal ? "; NORMAL SPEED" : "; FAST SPEED");
}

} // namespace orvane
