#include "organizer/SpectrumSizeList.h"

#include "organizer/FileType.h"
#include "organizer/TextNumber.h"

#include <algorithm>

namespace kettrim {

std::vector<std::string> SpectrumSizeList::EntriesFor(const std::string& extension) {
    if (IsSingleSpectrumType(extension))
        return {"16384", "8192", "4096", "2048", "1024", "512"};
    return {"4096", "2048", "1024", "512", "256", "128"};
}

SpectrumSizeList::SpectrumSizeList() : followed_("qps"), entries_(EntriesFor(followed_)) {}

void SpectrumSizeList::Follow(const std::string& extension) {
    entries_ = EntriesFor(extension);
    if (extension != followed_)
        selection_ = 0;
    followed_ = extension;
}

void SpectrumSizeList::Select(int index) {
    selection_ = std::clamp(index, 0, static_cast<int>(entries_.size()) - 1);
}

int SpectrumSizeList::SelectedSize() const {
    return std::max(1, ParseSigned32(SelectedText()));
}

} // namespace kettrim
