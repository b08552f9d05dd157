#include "support/ConversionFixture.h"

#include <algorithm>
#include <filesystem>

namespace kettrim::test {

std::string ConversionFixture::WriteQxs(const std::string& name,
                                        const std::vector<std::pair<int, std::uint32_t>>& channelCounts,
                                        const Registers& registers) {
    Counts counts(16384, 0);
    for (const auto& [channel, count] : channelCounts)
        counts[static_cast<std::size_t>(channel)] = count;
    SeriesWriter::WriteQxs(Path(name), counts, registers);
    return Path(name);
}

void Configure(LogOrganizer& organizer, const std::string& first, const std::string& last,
               const Choices& choices) {
    organizer.ChooseFirstFile(first);
    organizer.ChooseLastFile(last);
    organizer.Settings().increment = choices.increment;
    organizer.Settings().organization = choices.organization;
    organizer.Settings().label = choices.label;
    organizer.Settings().channelColumn = choices.channelColumn;
    organizer.CountFilesToProcess();
    const std::vector<std::string>& sizes = organizer.SizeList().Entries();
    const auto found = std::find(sizes.begin(), sizes.end(), choices.size);
    organizer.SizeList().Select(found == sizes.end() ? 0 : static_cast<int>(found - sizes.begin()));
}

ConversionOutcome ConversionFixture::Convert(const std::string& firstName, const std::string& lastName,
                                             const Choices& choices) {
    LogOrganizer organizer;
    Configure(organizer, Path(firstName), Path(lastName), choices);
    return organizer.ConvertLogSequence(host_);
}

std::vector<std::string> ConversionFixture::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ConversionFixture::ProcessingLines(const std::vector<std::string>& names) const {
    std::vector<std::string> lines;
    for (const std::string& name : names)
        lines.push_back("Processing:" + Path(name));
    return lines;
}

std::vector<std::string> ConversionFixture::FirstLines(const std::string& name, std::size_t count) const {
    const std::string text = Read(name);
    std::vector<std::string> lines;
    for (std::size_t start = 0; lines.size() < count && start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace kettrim::test
