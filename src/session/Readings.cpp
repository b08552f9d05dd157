#include "session/Readings.h"

#include "device/Frames.h"

namespace orvane {

Readings DecodeStatusBlock(const std::uint8_t* block, int platformCode) {
    using frames::Get16;
    Readings r;
    r.firmwareVersion = static_cast<std::int16_t>(Get16(block + 0));
    r.serialNumber = Get16(block + 2);
    const std::uint16_t bias = Get16(block + 4);
    const std::uint16_t word4 = Get16(block + 8);
    if (platformCode == kPlatformVelusk) {
        r.bias = -static_cast<std::int32_t>(bias);
        r.adcTemperature = static_cast<double>(static_cast<std::int16_t>(word4));
    } else {
        r.bias = bias;
        r.adcTemperature = word4 / 1000.0;
    }
    r.coolingPercent = static_cast<std::int32_t>(Get16(block + 10) * 100u / 330u);
    r.internalTemperature = static_cast<std::int16_t>(Get16(block + 12));
    return r;
}

} // namespace orvane
