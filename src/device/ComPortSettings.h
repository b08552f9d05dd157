#pragma once

#include "device/SSerInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

// What the "Port" dialog keeps between uses and hands back on OK. Only the port and the IO speed reach
// the connection; the other lists keep their selections for the dialog's sake.
class ComPortSettings {
public:
    enum Speed : int { kFast = 0, kNormal = 1 };

    static const std::vector<std::string>& BaudTexts();      // "921600", "460800"
    static const std::vector<std::string>& DataBitTexts();   // "8" .. "4"
    static const std::vector<std::string>& ParityTexts();    // "None", "Even", "Odd", "Mark", "Space"
    static const std::vector<std::string>& StopBitTexts();   // "1", "1.5", "2"
    static const std::vector<std::string>& HandshakeTexts(); // "OFF", "CTS/RTS", "DSR/DTR"
    static std::uint32_t BaudOf(int speed) { return speed == kNormal ? 460800 : 921600; }

    // Opening the dialog: a fresh list, the IO speed clamped to its two values.
    void Open(const std::vector<SSerInfo>& ports, int speed);
    // A click on FAST or NORMAL.
    void ChooseSpeed(int speed);
    void ChoosePort(int index) { portIndex_ = index; }
    // OK: the device path from the selected port's text, the baud text of the speed.
    void Accept();

    const std::vector<SSerInfo>& Ports() const { return ports_; }
    int PortIndex() const { return portIndex_; }
    int Speed() const { return speed_; }
    int BaudIndex() const { return speed_; }
    const std::string& DevicePath() const { return devicePath_; }
    const std::string& BaudText() const { return baudText_; }
    std::string PortName() const;
    // The log line the main frame writes after OK: "Set port: PATH; FAST SPEED".
    std::string SetPortLine() const;

    int dataBitsIndex = 0, stopBitsIndex = 0, parityIndex = 0, handshakeIndex = 1;

private:
    std::vector<SSerInfo> ports_;
    int portIndex_ = 0;
    int speed_ = kFast;
    std::string devicePath_;
    std::string baudText_ = "921600";
};

} // namespace orvane
