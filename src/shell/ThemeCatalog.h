#pragma once

#include <span>
#include <string>
#include <vector>

namespace orvane {

// The nine visual themes of the View menu. A theme is known by the identifier of its menu command, which
// is also what the settings keep.
class ThemeCatalog {
public:
    static constexpr int kStyle1 = 32879;
    static constexpr int kStyle2 = 32880;
    static constexpr int kStyle3 = 32881;
    static constexpr int kStyle4 = 32882;
    static constexpr int kStyle5 = 32883;
    static constexpr int kBlue = 32884;
    static constexpr int kBlack = 32885;
    static constexpr int kSilver = 32886;
    static constexpr int kAqua = 32887;
    static constexpr int kDefault = kBlack;

    static constexpr const char* kMenuCaption = "&Application Look";
    static constexpr const char* kMoreStylesCaption = "&More Styles";

    struct Entry {
        int id;
        const char* caption;
        bool inMoreStyles; // under "&More Styles" rather than directly under "&Application Look"
    };

    struct MenuItem {
        int id;
        std::string caption;
        bool inMoreStyles;
        bool checked; // the radio mark
    };

    // In menu order.
    static std::span<const Entry> Entries();
    static bool IsTheme(int id);
    // The theme whose look is shown for a current theme number: itself, or the default for a number that
    // names no theme (0 when the theme value was missing from an existing key).
    static int LookOf(int id);
    // The menu entries with the radio mark on the current theme only; a number that names no theme marks
    // none.
    static std::vector<MenuItem> Menu(int current);
};

} // namespace orvane
