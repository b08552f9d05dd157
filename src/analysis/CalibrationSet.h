#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

// A channel-to-energy calibration E = a·CH² + b·CH + c with up to ten points. Its persisted form is a fixed
// 360-byte little-endian layout (doubles as IEEE 754 binary64), also used for the settings value.
struct CalibrationSet {
    static constexpr int kMaxPoints = 10;
    static constexpr int kSlots = 16;
    static constexpr std::size_t kBytes = 360;

    double a = 0.0;
    double b = 1.0;
    double c = 0.0;
    std::array<double, kSlots> channel{};
    std::array<double, kSlots> energy{};
    std::array<std::int32_t, kSlots> use{};
    std::int32_t useAll = 0;
    std::int32_t count = 0;
    std::int32_t units = 0;
    std::int32_t enabled = 0;

    double Energy(double ch) const { return a * ch * ch + b * ch + c; }

    std::array<std::uint8_t, kBytes> Serialize() const;
    // Reads the layout back; false when fewer than 360 bytes are given.
    static bool Parse(const std::uint8_t* bytes, std::size_t size, CalibrationSet& out);

    bool operator==(const CalibrationSet&) const = default;
};

// The unit list: 0 "chn", 1 " eV", 2 "keV", 3 "MeV", 4 "Volt", 5 "Arb".
const std::vector<std::string>& CalibrationUnitNames();
std::string CalibrationUnitName(int index);

} // namespace orvane
