#pragma once

#include "shell/SettingsPersistence.h"
#include "shell/ThemeCatalog.h"

#include <vector>

class QMainWindow;

namespace orvane {

class CSpectrum;

// The main window's settings moments, each one call for the main frame: the theme, the toolbar state,
// the placement and the docking layout of a QMainWindow, over the core's reads and writes.
class MainWindowSettings {
public:
    MainWindowSettings(SettingsPersistence& settings, QMainWindow& window)
        : settings_(settings), window_(window) {}

    // Main frame construction: reads the current theme (it is applied at window creation).
    int LoadTheme();
    int Theme() const { return theme_; }
    // Window creation and resume: shows the current theme's look.
    void ApplyTheme() const;
    // A View-menu choice: shows it at once and remembers it.
    void ChooseTheme(int theme);
    std::vector<ThemeCatalog::MenuItem> ThemeMenu() const { return ThemeCatalog::Menu(theme_); }

    // Window creation, once the toolbars exist.
    bool LoadToolbarState();
    // Once every pane and toolbar exists and before any saved layout is restored: keeps this freshly
    // built layout as the factory layout when none is stored yet, or when the stored one was written by
    // a build whose layout this one cannot restore. True when it was stored now.
    bool KeepFactoryLayout();
    // After creation, before the layout: false when no usable placement was stored (the window keeps its
    // own). The caller shows the window either way.
    bool LoadWindowPlacement();
    // Start-up and "Restore Layout": the layout saved at the last exit.
    bool RestoreLayout();
    // "Default  Layout".
    bool RestoreDefaultLayout();

    // Closing: toolbar state, placement, layout, colours, calibration, speed and theme, in that order.
    void SaveAll(const DisplayColours& bufferColours, const DisplayColours& fileColours, int ioSpeed,
                 const CSpectrum& buffer);

private:
    SettingsPersistence& settings_;
    QMainWindow& window_;
    int theme_ = ThemeCatalog::kDefault;
};

} // namespace orvane
