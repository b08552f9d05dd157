#include "organizer/IncrementEntry.h"

#include "organizer/ConversionSettings.h"

#include <algorithm>

namespace kettrim {

IncrementEntry IncrementEntry::Read(std::string_view text) {
    IncrementEntry entry;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        i = 1;
    if (i == text.size()) {
        entry.status = Status::NotAnInteger;
        return entry;
    }
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            entry.status = Status::NotAnInteger;
            return entry;
        }
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), 1'000'000'000'000LL);
    }
    const long long value = negative ? -magnitude : magnitude;
    entry.value = static_cast<int>(
        std::clamp<long long>(value, ConversionSettings::kMinIncrement, ConversionSettings::kMaxIncrement));
    entry.status = entry.value == value ? Status::Valid : Status::OutOfRange;
    return entry;
}

std::string IncrementEntry::Message() const {
    switch (status) {
    case Status::NotAnInteger:
        return "Enter an integer.";
    case Status::OutOfRange:
        return "Enter an integer between " + std::to_string(ConversionSettings::kMinIncrement) + " and " +
               std::to_string(ConversionSettings::kMaxIncrement) + ".";
    case Status::Valid:
        break;
    }
    return {};
}

} // namespace kettrim
