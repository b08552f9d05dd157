#pragma once

#include <QPalette>
#include <QString>

namespace orvane {

// The looks of the nine View-menu themes: a Qt style and a palette each. Applying one restyles and repaints
// every widget of the application at once.
class QtThemes {
public:
    // A theme number that names no theme (0 after a missing theme value) gets the default theme's look.
    static void Apply(int theme);

    static QString StyleName(int theme);
    static QPalette Palette(int theme);
};

} // namespace orvane
