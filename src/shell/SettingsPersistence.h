#pragma once

#include "analysis/DisplayColours.h"
#include "shell/SettingsStore.h"
#include "shell/ThemeCatalog.h"
#include "shell/WindowPlacement.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvane {

class CSpectrum;

// What the analyzer remembers between runs, and when: every read and write of the main frame's settings.
// The main frame hands over plain values and the buffer spectrum; the toolkit's layout and toolbar state
// are opaque bytes here.
class SettingsPersistence {
public:
    // The root every key follows.
    static constexpr const char* kRoot = "Software\\Orvane\\Orvane-MCA 8.50";
    // Keys.
    static constexpr const char* kWindowPosKey = "\\Orvane-MCA\\WindowPos";
    static constexpr const char* kSpectrumKey = "\\Orvane-MCA\\Spectrum";
    static constexpr const char* kAppKey = "\\Orvane-MCA\\App";
    // Where the window toolkit keeps its own entries: the application's settings root.
    static constexpr const char* kToolkitKey = "\\Orvane-MCA";
    // Value names.
    static constexpr const char* kWinPos = "WinPos";
    static constexpr const char* kCalibration = "Calibration";
    static constexpr const char* kIoSpeed = "IO Speed";
    static constexpr const char* kAppLook = "AppLook";
    static constexpr const char* kLayout = "AppState";
    static constexpr const char* kDefaultLayout = "AppStateDefault";
    static constexpr const char* kToolbarState = "TBAR STATE";
    static constexpr const char* kApplicationLook = "ApplicationLook";

    static constexpr std::size_t kCalibrationBytes = 720;

    // Colours come back only for a display whose four values were all read; the speed only when the file
    // display's were.
    struct ColoursAndSpeed {
        std::optional<DisplayColours> buffer;
        std::optional<DisplayColours> file;
        std::optional<int> ioSpeed;
    };

    // Everything written when the main window closes, besides the buffer spectrum's calibration.
    struct ShutdownState {
        std::vector<std::uint8_t> toolbarState;
        WindowPlacement placement;
        std::vector<std::uint8_t> layout;
        DisplayColours bufferColours;
        DisplayColours fileColours;
        int ioSpeed = 0;
        int theme = ThemeCatalog::kDefault;
    };

    explicit SettingsPersistence(SettingsStore& store) : store_(store) {}

    // Main frame construction: the current theme number (0 when the "App" key holds no theme).
    int LoadTheme() const;
    // Choosing a theme remembers it at once.
    void SaveTheme(int theme);

    // Main window creation, after the panes exist.
    ColoursAndSpeed LoadColoursAndSpeed() const;
    // Main window creation, after the toolbar state: the buffer spectrum's two stored calibrations.
    // False when nothing was read.
    bool LoadCalibration(CSpectrum& buffer) const;

    std::optional<WindowPlacement> LoadWindowPlacement() const;
    std::optional<std::vector<std::uint8_t>> LoadToolbarState() const;
    // "Restore Layout" and start-up.
    std::optional<std::vector<std::uint8_t>> LoadLayout() const;
    // "Default  Layout".
    std::optional<std::vector<std::uint8_t>> LoadDefaultLayout() const;
    // The factory layout, so "Default  Layout" always has something to restore.
    bool StoreDefaultLayout(std::span<const std::uint8_t> layout);

    // Main window closing. Write failures are not reported: there is nobody left to tell.
    void SaveAll(const ShutdownState& state, const CSpectrum& buffer);

private:
    bool ReadColours(const char* const names[4], DisplayColours& out) const;
    void WriteColours(const char* const names[4], const DisplayColours& colours);
    std::optional<std::vector<std::uint8_t>> ReadBytes(const char* key, const char* name) const;

    SettingsStore& store_;
};

} // namespace orvane
