#pragma once

#include "organizer/LogOrganizer.h"
#include "support/RecordingHost.h"
#include "support/SeriesWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kettrim::test {

// The choices a user makes in the dialog, with the dialog's defaults.
struct Choices {
    int increment = 1;
    Organization organization = Organization::Table;
    LabelKind label = LabelKind::FileName;
    bool channelColumn = false;
    std::string size; // empty: the first entry of the list
};

// Sets the organizer up as the dialog does after both files were chosen.
void Configure(LogOrganizer& organizer, const std::string& first, const std::string& last,
               const Choices& choices);

// A folder to write a series into, and a conversion of it run as the dialog runs it.
class ConversionFixture : public ::testing::Test {
protected:
    // Writes folder/name as a qxs file whose only counts are `channelCounts` (channel, count) pairs.
    std::string WriteQxs(const std::string& name,
                         const std::vector<std::pair<int, std::uint32_t>>& channelCounts,
                         const Registers& registers = Stamp(0));
    // A LOCAL stamp on 5 December 2019, `minutes` after 14:00.
    static Registers Stamp(int minutes) {
        return StampedRegisters(StampSource::Local, 2019, 12, 5, 14 + minutes / 60, minutes % 60, 0);
    }

    ConversionOutcome Convert(const std::string& firstName, const std::string& lastName,
                              const Choices& choices = {});

    std::string Path(const std::string& name) const { return folder_.File(name); }
    std::string Read(const std::string& name) const { return SeriesWriter::ReadText(Path(name)); }
    // The names in the folder, sorted, hidden ones included.
    std::vector<std::string> Names() const;
    // The first `count` lines of an output file, without their CR LF.
    std::vector<std::string> FirstLines(const std::string& name, std::size_t count) const;
    std::vector<std::string> ProcessingLines(const std::vector<std::string>& names) const;

    TempFolder folder_;
    RecordingHost host_;
};

// The lines joined with CR LF, each one ended.
std::string CrLfLines(const std::vector<std::string>& lines);

} // namespace kettrim::test
