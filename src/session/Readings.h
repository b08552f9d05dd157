#pragma once

#include <cstdint>

namespace orvane {

constexpr int kPlatformVelusk = 0;
constexpr int kPlatformKiramo = 1;
constexpr int kPlatformDravon = 2;
constexpr int kPlatformUnknown = 9999;

// The instrument's identity and condition as every read reply reports them.
struct Readings {
    std::int16_t firmwareVersion = 0; // × 100: 2.05 is 205
    std::uint16_t serialNumber = 0;
    std::int32_t bias = 0;       // volts
    double adcTemperature = 0.0; // Velusk: detector temperature in °C; others: input D in volts
    std::int32_t coolingPercent = 0;
    std::int16_t internalTemperature = 0; // °C

    bool operator==(const Readings&) const = default;
};

// Decodes the 16-byte status block of a read reply. Velusk reports bias as a positive magnitude of a
// negative voltage and word 4 as a signed temperature; the other platforms report unsigned values.
Readings DecodeStatusBlock(const std::uint8_t* block, int platformCode);

} // namespace orvane
