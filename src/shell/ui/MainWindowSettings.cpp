#include "shell/ui/MainWindowSettings.h"

#include "shell/ui/QtThemes.h"
#include "shell/ui/QtWindowLayout.h"
#include "shell/ui/QtWindowPlacement.h"

#include <QMainWindow>

namespace orvane {

int MainWindowSettings::LoadTheme() {
    theme_ = settings_.LoadTheme();
    return theme_;
}

void MainWindowSettings::ApplyTheme() const {
    QtThemes::Apply(theme_);
}

void MainWindowSettings::ChooseTheme(int theme) {
    theme_ = theme;
    QtThemes::Apply(theme_);
    settings_.SaveTheme(theme_);
}

bool MainWindowSettings::LoadToolbarState() {
    const auto bytes = settings_.LoadToolbarState();
    return bytes && QtWindowLayout::RestoreToolbarState(window_, *bytes);
}

bool MainWindowSettings::KeepFactoryLayout() {
    const auto stored = settings_.LoadDefaultLayout();
    if (stored && QtWindowLayout::IsCurrentLayout(*stored))
        return false;
    return settings_.StoreDefaultLayout(QtWindowLayout::SaveLayout(window_));
}

bool MainWindowSettings::LoadWindowPlacement() {
    const auto placement = settings_.LoadWindowPlacement();
    if (!placement)
        return false;
    QtWindowPlacement::Apply(window_, *placement);
    return true;
}

bool MainWindowSettings::RestoreLayout() {
    const auto bytes = settings_.LoadLayout();
    return bytes && QtWindowLayout::RestoreLayout(window_, *bytes);
}

bool MainWindowSettings::RestoreDefaultLayout() {
    const auto bytes = settings_.LoadDefaultLayout();
    return bytes && QtWindowLayout::RestoreLayout(window_, *bytes);
}

void MainWindowSettings::SaveAll(const DisplayColours& bufferColours, const DisplayColours& fileColours,
                                 int ioSpeed, const CSpectrum& buffer) {
    SettingsPersistence::ShutdownState state;
    state.toolbarState = QtWindowLayout::SaveToolbarState(window_);
    state.placement = QtWindowPlacement::Capture(window_);
    state.layout = QtWindowLayout::SaveLayout(window_);
    state.bufferColours = bufferColours;
    state.fileColours = fileColours;
    state.ioSpeed = ioSpeed;
    state.theme = theme_;
    settings_.SaveAll(state, buffer);
}

} // namespace orvane
