#include "shell/ThemeCatalog.h"

#include <array>

namespace orvane {

namespace {

constexpr std::array<ThemeCatalog::Entry, 9> kEntries = {{
    {ThemeCatalog::kStyle1, "Style &1", false},
    {ThemeCatalog::kStyle2, "Style &2", false},
    {ThemeCatalog::kStyle3, "Style &3", false},
    {ThemeCatalog::kStyle4, "Style &4", false},
    {ThemeCatalog::kStyle5, "Style &5", false},
    {ThemeCatalog::kBlue, "&Blue Style", true},
    {ThemeCatalog::kBlack, "B&lack Style", true},
    {ThemeCatalog::kSilver, "&Silver Style", true},
    {ThemeCatalog::kAqua, "&Aqua Style", true},
}};

} // namespace

std::span<const ThemeCatalog::Entry> ThemeCatalog::Entries() {
    return kEntries;
}

bool ThemeCatalog::IsTheme(int id) {
    return id >= kStyle1 && id <= kAqua;
}

int ThemeCatalog::LookOf(int id) {
    return IsTheme(id) ? id : kDefault;
}

std::vector<ThemeCatalog::MenuItem> ThemeCatalog::Menu(int current) {
    std::vector<MenuItem> items;
    items.reserve(kEntries.size());
    for (const Entry& e : kEntries)
        items.push_back({e.id, e.caption, e.inMoreStyles, e.id == current});
    return items;
}

} // namespace orvane
