#include "shell/SettingsPersistence.h"

#include "spectrum/CSpectrum.h"

#include <algorithm>
#include <array>

namespace orvane {

namespace {

// Cursor, spectrum, background, ROI: the order in which they are read.
constexpr const char* kBufferColours[4] = {"BufferCursorColor", "BufferSpectrumColor", "BufferBkgColor",
                                           "BufferROIColor"};
constexpr const char* kFileColours[4] = {"FileCursorColor", "FileSpectrumColor", "FileBkgColor",
                                         "FileROIColor"};

std::array<std::uint32_t*, 4> Members(DisplayColours& c) {
    return {&c.cursor, &c.spectrum, &c.background, &c.roi};
}

// A stored count outside 0..10 cannot describe a point list; such a block is treated as empty.
void DropImpossibleCount(CalibrationSet& set) {
    if (set.count < 0 || set.count > CalibrationSet::kMaxPoints)
        set.count = 0;
}

// Input A then input B, 360 bytes each.
std::array<std::uint8_t, SettingsPersistence::kCalibrationBytes> CalibrationBytes(const CSpectrum& buffer) {
    std::array<std::uint8_t, SettingsPersistence::kCalibrationBytes> bytes{};
    const auto a = buffer.StoredCalibration(0).Serialize();
    const auto b = buffer.StoredCalibration(1).Serialize();
    std::copy(a.begin(), a.end(), bytes.begin());
    std::copy(b.begin(), b.end(), bytes.begin() + CalibrationSet::kBytes);
    return bytes;
}

} // namespace

int SettingsPersistence::LoadTheme() const {
    std::uint32_t value = 0;
    if (store_.KeyExists(kAppKey)) {
        // The key opened: a missing value leaves the theme at 0, shown as the default with no radio mark.
        store_.GetNumber(kAppKey, kAppLook, value);
        return static_cast<int>(static_cast<std::int32_t>(value));
    }
    if (store_.GetNumber(kToolkitKey, kApplicationLook, value))
        return static_cast<int>(static_cast<std::int32_t>(value));
    return ThemeCatalog::kDefault;
}

void SettingsPersistence::SaveTheme(int theme) {
    store_.SetNumber(kToolkitKey, kApplicationLook, static_cast<std::uint32_t>(theme));
}

bool SettingsPersistence::ReadColours(const char* const names[4], DisplayColours& out) const {
    DisplayColours read;
    int i = 0;
    for (std::uint32_t* member : Members(read))
        if (!store_.GetNumber(kSpectrumKey, names[i++], *member))
            return false;
    out = read;
    return true;
}

SettingsPersistence::ColoursAndSpeed SettingsPersistence::LoadColoursAndSpeed() const {
    ColoursAndSpeed result;
    if (!store_.KeyExists(kSpectrumKey))
        return result;
    DisplayColours colours;
    if (ReadColours(kBufferColours, colours))
        result.buffer = colours;
    if (!ReadColours(kFileColours, colours))
        return result;
    result.file = colours;
    std::uint32_t speed = 0;
    // Only FAST (0) and NORMAL (1) exist; anything else keeps the start value.
    if (store_.GetNumber(kSpectrumKey, kIoSpeed, speed) && speed <= 1)
        result.ioSpeed = static_cast<int>(speed);
    return result;
}

bool SettingsPersistence::LoadCalibration(CSpectrum& buffer) const {
    std::vector<std::uint8_t> stored;
    if (!store_.GetBytes(kSpectrumKey, kCalibration, stored) || stored.size() > kCalibrationBytes)
        return false;
    // A shorter value overwrites only the beginning of the two blocks; the rest stays as it was.
    auto bytes = CalibrationBytes(buffer);
    std::copy(stored.begin(), stored.end(), bytes.begin());
    for (int input = 0; input < 2; ++input) {
        CalibrationSet& set = buffer.StoredCalibration(input);
        CalibrationSet::Parse(bytes.data() + CalibrationSet::kBytes * static_cast<std::size_t>(input),
                              CalibrationSet::kBytes, set);
        DropImpossibleCount(set);
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> SettingsPersistence::ReadBytes(const char* key,
                                                                        const char* name) const {
    std::vector<std::uint8_t> bytes;
    if (!store_.GetBytes(key, name, bytes))
        return std::nullopt;
    return bytes;
}

std::optional<WindowPlacement> SettingsPersistence::LoadWindowPlacement() const {
    const auto bytes = ReadBytes(kWindowPosKey, kWinPos);
    WindowPlacement placement;
    if (!bytes || !WindowPlacement::Unpack(*bytes, placement) || !placement.Usable())
        return std::nullopt;
    return placement;
}

std::optional<std::vector<std::uint8_t>> SettingsPersistence::LoadToolbarState() const {
    return ReadBytes(kToolkitKey, kToolbarState);
}

std::optional<std::vector<std::uint8_t>> SettingsPersistence::LoadLayout() const {
    return ReadBytes(kToolkitKey, kLayout);
}

std::optional<std::vector<std::uint8_t>> SettingsPersistence::LoadDefaultLayout() const {
    return ReadBytes(kToolkitKey, kDefaultLayout);
}

bool SettingsPersistence::StoreDefaultLayout(std::span<const std::uint8_t> layout) {
    return store_.SetBytes(kToolkitKey, kDefaultLayout, layout);
}

void SettingsPersistence::WriteColours(const char* const names[4], const DisplayColours& colours) {
    DisplayColours copy = colours;
    int i = 0;
    for (const std::uint32_t* member : Members(copy))
        store_.SetNumber(kSpectrumKey, names[i++], *member);
}

void SettingsPersistence::SaveAll(const ShutdownState& state, const CSpectrum& buffer) {
    store_.SetBytes(kToolkitKey, kToolbarState, state.toolbarState);
    store_.SetBytes(kWindowPosKey, kWinPos, state.placement.Pack());
    store_.SetBytes(kToolkitKey, kLayout, state.layout);
    WriteColours(kBufferColours, state.bufferColours);
    WriteColours(kFileColours, state.fileColours);
    store_.SetBytes(kSpectrumKey, kCalibration, CalibrationBytes(buffer));
    store_.SetNumber(kSpectrumKey, kIoSpeed, static_cast<std::uint32_t>(state.ioSpeed));
    store_.SetNumber(kAppKey, kAppLook, static_cast<std::uint32_t>(state.theme));
}

} // namespace orvane
