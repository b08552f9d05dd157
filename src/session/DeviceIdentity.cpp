#include "session/DeviceIdentity.h"

#include "session/ParameterMap.h"

#include <cmath>
#include <cstdio>

namespace orvane {

DeviceIdentity::DeviceIdentity(Poster& poster) : poster_(poster) {}

void DeviceIdentity::SetAmplifierHooks(std::function<bool()> inputModeState, std::function<void()> refresh) {
    amplifierInputMode_ = std::move(inputModeState);
    amplifierRefresh_ = std::move(refresh);
}

void DeviceIdentity::Queue(PlatformCommand command) {
    poster_.Post([this, command] {
        if (CSpectrum* active = active_ ? active_() : nullptr)
            Apply(command, *active);
    });
}

void DeviceIdentity::Detect(CSpectrum& active) {
    const std::uint16_t r = active.Image().Get(reg::kPlatform);
    const int family = r >> 12;
    if (r <= 0x0FFF) {
        if (active.PlatformCode() != kPlatformVelusk)
            Queue(PlatformCommand::Velusk);
    } else if (family == 1) {
        if (active.PlatformCode() != kPlatformKiramo || active.SpFlag() != 0) {
            active.SetSpFlag(0);
            Queue(PlatformCommand::Kiramo);
        }
    } else if (family == 3) {
        if (active.PlatformCode() != kPlatformKiramo || active.SpFlag() == 0) {
            active.SetSpFlag(1);
            Queue(PlatformCommand::Kiramo);
        }
    } else if (family == 2) {
        if (active.PlatformCode() != kPlatformDravon)
            Queue(PlatformCommand::Dravon);
    }
    autoPlatform_ = true;
}

void DeviceIdentity::Apply(PlatformCommand command, CSpectrum& active) {
    if (command == PlatformCommand::Auto) {
        autoPlatform_ = true;
        return;
    }
    autoPlatform_ = false;
    int steps = 4;
    if (command == PlatformCommand::Velusk) {
        active.SetPlatformCode(kPlatformVelusk);
        layout_ = PlatformLayout{true, "Detector Temp [C]", false};
    } else if (command == PlatformCommand::Dravon) {
        active.SetPlatformCode(kPlatformDravon);
        layout_ = PlatformLayout{false, "INPUT D [V]", true};
    } else {
        active.SetPlatformCode(kPlatformKiramo);
        steps = amplifierInputMode_ && amplifierInputMode_() ? 4 : 32;
        layout_ = PlatformLayout{false, "INPUT D [V]", true};
    }
    active.SetAmplifierPlatform(steps);
    // The amplifier panel then re-reads every register-18 setting at its next refresh.
    active.SetLastRegister18(static_cast<std::uint16_t>(active.LastRegister18() ^ 0x1F));
    if (amplifierRefresh_)
        amplifierRefresh_();
    if (layoutChanged_)
        layoutChanged_();
}

std::string ModelName(int platformCode, int spFlag, std::uint16_t register15) {
    if (platformCode == kPlatformVelusk)
        return "Velusk";
    if (platformCode == kPlatformDravon)
        return "Dravon";
    if (platformCode != kPlatformKiramo)
        return "Kiramo";
    const bool second = ((register15 >> 2) & 3) == 2;
    if (spFlag)
        return second ? "Kiramo-II-SP" : "Kiramo-SP";
    return second ? "Kiramo-II" : "Kiramo";
}

HardwareInfo AboutHardware(const CSpectrum& s, double periodUs) {
    const RegisterImage& image = s.Image();
    const int expA = image.Field(reg::kTimeConstants, 0, 4);
    const int expB = image.Field(reg::kTimeConstants, 4, 4);
    const double tcA = std::ldexp(1.0, expA) * periodUs;
    const double tcB = std::ldexp(1.0, expB) * periodUs;
    const unsigned serial = s.GetReadings().serialNumber;
    const double firmware = s.GetReadings().firmwareVersion / 100.0;
    const double fpga = image.Get(reg::kFpgaVersion) / 10.0;
    char text[256];
    if (s.PlatformCode() == kPlatformKiramo && s.SpFlag() == 0 && tcB <= periodUs) {
        std::snprintf(text, sizeof text,
                      "Serial Number:\t%05u\nFirmware Version:\t%3.2f\nFPGA Version:\t%5.1f\nPrimary TC A "
                      "(5%%):\t%5.1fus\nInput B Mode:\tPHA",
                      serial, firmware, fpga, tcA);
    } else {
        std::snprintf(text, sizeof text,
                      "Serial Number:\t%05u\nFirmware Version:\t%3.2f\nFPGA Version:\t%5.1f\nPrimary TC A "
                      "(5%%):\t%5.1fus\nPrimary TC B (5%%):\t%5.1fus",
                      serial, firmware, fpga, tcA, tcB);
    }
    return HardwareInfo{ModelName(s.PlatformCode(), s.SpFlag(), image.Get(reg::kPlatform)), text};
}

} // namespace orvane
