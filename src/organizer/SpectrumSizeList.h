#pragma once

#include <string>
#include <vector>

namespace kettrim {

// The "Spectrum Size" choices, which follow the type of the file chosen last. The selection returns to
// the first entry when the list starts following another extension, and is kept otherwise.
class SpectrumSizeList {
public:
    static std::vector<std::string> EntriesFor(const std::string& extension);

    // Starts with the qps list as the one followed, so the first refresh for qxs fills the list anew.
    SpectrumSizeList();

    void Follow(const std::string& extension);

    const std::vector<std::string>& Entries() const { return entries_; }
    int Selection() const { return selection_; }
    void Select(int index);
    // The selected entry read as a number, at least 1.
    int SelectedSize() const;
    const std::string& SelectedText() const { return entries_[static_cast<std::size_t>(selection_)]; }

private:
    std::string followed_;
    std::vector<std::string> entries_;
    int selection_ = 0;
};

} // namespace kettrim
