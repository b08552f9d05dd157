#include "analysis/CalibrationSet.h"

#include <cstring>

namespace orvane {

namespace {

void PutDouble(std::uint8_t* p, double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

double GetDouble(const std::uint8_t* p) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void PutInt(std::uint8_t* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t GetInt(const std::uint8_t* p) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

constexpr std::size_t kChannels = 24, kEnergies = 152, kUse = 280, kUseAll = 344, kCount = 348, kUnits = 352,
                      kEnabled = 356;

} // namespace

std::array<std::uint8_t, CalibrationSet::kBytes> CalibrationSet::Serialize() const {
    std::array<std::uint8_t, kBytes> out{};
    PutDouble(&out[0], a);
    PutDouble(&out[8], b);
    PutDouble(&out[16], c);
    for (int i = 0; i < kSlots; ++i) {
        PutDouble(&out[kChannels + 8 * i], channel[i]);
        PutDouble(&out[kEnergies + 8 * i], energy[i]);
        PutInt(&out[kUse + 4 * i], use[i]);
    }
    PutInt(&out[kUseAll], useAll);
    PutInt(&out[kCount], count);
    PutInt(&out[kUnits], units);
    PutInt(&out[kEnabled], enabled);
    return out;
}

bool CalibrationSet::Parse(const std::uint8_t* bytes, std::size_t size, CalibrationSet& out) {
    if (size < kBytes)
        return false;
    out.a = GetDouble(bytes);
    out.b = GetDouble(bytes + 8);
    out.c = GetDouble(bytes + 16);
    for (int i = 0; i < kSlots; ++i) {
        out.channel[i] = GetDouble(bytes + kChannels + 8 * i);
        out.energy[i] = GetDouble(bytes + kEnergies + 8 * i);
        out.use[i] = GetInt(bytes + kUse + 4 * i);
    }
    out.useAll = GetInt(bytes + kUseAll);
    out.count = GetInt(bytes + kCount);
    out.units = GetInt(bytes + kUnits);
    out.enabled = GetInt(bytes + kEnabled);
    return true;
}

const std::vector<std::string>& CalibrationUnitNames() {
    static const std::vector<std::string> names = {"chn", " eV", "keV", "MeV", "Volt", "Arb"};
    return names;
}

std::string CalibrationUnitName(int index) {
    const auto& names = CalibrationUnitNames();
    return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index)]
                                                                : names[0];
}

} // namespace orvane
