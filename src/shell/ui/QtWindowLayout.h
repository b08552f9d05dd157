#pragma once

#include <cstdint>
#include <span>
#include <vector>

class QMainWindow;

namespace orvane {

// The toolkit's side of the layout settings: the bytes kept as "AppState", "AppStateDefault" and
// "TBAR STATE". Docks and toolbars are found by their object names, so every one needs a unique name.
class QtWindowLayout {
public:
    // The docking layout: dock and toolbar positions, sizes, floating and tabbed states.
    static std::vector<std::uint8_t> SaveLayout(const QMainWindow& window);
    // False, changing nothing, for bytes that are no layout of this window's version.
    static bool RestoreLayout(QMainWindow& window, std::span<const std::uint8_t> bytes);

    // Whether the bytes are a layout this build can restore (written with its layout version).
    static bool IsCurrentLayout(std::span<const std::uint8_t> bytes);

    // The toolbars alone: for each, its dock area and whether it is shown.
    static std::vector<std::uint8_t> SaveToolbarState(const QMainWindow& window);
    // False, changing nothing, for bytes that are no toolbar state; toolbars it does not name stay as
    // they are, and names no toolbar has any more are skipped.
    static bool RestoreToolbarState(QMainWindow& window, std::span<const std::uint8_t> bytes);
};

} // namespace orvane
