#include "support/ConversionFixture.h"
#include "support/PerPassReference.h"

#include <filesystem>
#include <map>
#include <tuple>

namespace kettrim {
namespace {

namespace fs = std::filesystem;
using test::SeriesWriter;

// Type and size, organization, label, channel column.
using Options = std::tuple<std::pair<const char*, const char*>, Organization, LabelKind, bool>;

struct Combination {
    Options options;

    std::string Name() const {
        const auto& [typeAndSize, organization, label, channelColumn] = options;
        const char* labels[] = {"Name", "Number", "Stamp", "Elapsed", "None"};
        return std::string(typeAndSize.first) + typeAndSize.second +
               (organization == Organization::Table ? "Table" : "Individual") +
               labels[static_cast<int>(label)] + (channelColumn ? "Channel" : "");
    }
    friend void PrintTo(const Combination& combination, std::ostream* out) { *out << combination.Name(); }
};

// Every file of the folder with its bytes.
std::map<std::string, std::string> Contents(const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(folder))
        contents[entry.path().filename().string()] = SeriesWriter::ReadText(entry.path().string());
    return contents;
}

class PerPassEquivalence : public ::testing::TestWithParam<Combination> {
protected:
    // Files 1 to 5 of a series, converted with increment 2 (files 1, 3 and 5), into `folder`.
    static void WriteSeries(const std::string& folder, const std::string& extension) {
        for (int n = 1; n <= 5; ++n) {
            const std::string path = folder + "/run_000" + std::to_string(n) + "." + extension;
            const test::Registers stamp =
                test::StampedRegisters(test::StampSource::Utc, 2024, 1 + n, 3 * n, 2 * n, 7 * n, 4 * n);
            if (extension == "qxs") {
                SeriesWriter::WriteQxs(path, SeriesWriter::SampleCounts(16384, n), stamp, {n == 3, {1, 2}});
            } else {
                std::array<test::Counts, 4> spectra;
                for (int k = 0; k < 4; ++k)
                    spectra[k] = SeriesWriter::SampleCounts(4096, 4 * n + k);
                SeriesWriter::WriteQps(path, spectra, stamp, n == 3);
            }
        }
    }
};

TEST_P(PerPassEquivalence, TheTableAndTheFilesAreByteIdenticalToThePerPassAlgorithm) {
    const auto& [typeAndSize, organization, label, channelColumn] = GetParam().options;
    const std::string extension = typeAndSize.first;
    const test::Choices choices{2, organization, label, channelColumn, typeAndSize.second};

    test::TempFolder linear;
    test::TempFolder reference;
    WriteSeries(linear.Path(), extension);
    WriteSeries(reference.Path(), extension);
    const std::string first = "/run_0001." + extension;
    const std::string last = "/run_0005." + extension;

    LogOrganizer organizer;
    test::Configure(organizer, linear.Path() + first, linear.Path() + last, choices);
    test::RecordingHost host;
    ASSERT_EQ(organizer.ConvertLogSequence(host), ConversionOutcome::Completed);

    ConversionSettings settings;
    settings.increment = choices.increment;
    settings.organization = organization;
    settings.label = label;
    settings.channelColumn = channelColumn;
    test::PerPassReference::Convert(reference.Path() + first, reference.Path() + last, settings,
                                    std::stoi(choices.size));

    const auto produced = Contents(linear.Path());
    const auto expected = Contents(reference.Path());
    ASSERT_EQ(produced.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        ASSERT_TRUE(produced.count(name)) << name;
        EXPECT_TRUE(produced.at(name) == bytes) << name << " differs";
    }
    EXPECT_EQ(produced.size(), 5u + (organization == Organization::Table ? 1u : 3u));
}

std::vector<Combination> EveryCombination() {
    std::vector<Combination> combinations;
    for (const auto& typeAndSize : {std::pair{"qxs", "16384"}, std::pair{"qxs", "1024"},
                                    std::pair{"qps", "4096"}, std::pair{"qps", "128"}})
        for (Organization organization : {Organization::Table, Organization::IndividualFiles})
            for (LabelKind label : {LabelKind::FileName, LabelKind::FileNumber, LabelKind::TimeStamp,
                                    LabelKind::ElapsedTime, LabelKind::None})
                for (bool channelColumn : {false, true})
                    combinations.push_back({Options{typeAndSize, organization, label, channelColumn}});
    return combinations;
}

INSTANTIATE_TEST_SUITE_P(EveryOption, PerPassEquivalence, ::testing::ValuesIn(EveryCombination()),
                         [](const ::testing::TestParamInfo<Combination>& info) { return info.param.Name(); });

// A run stopped by a bad stamp leaves the table the per-pass algorithm had after its last good pass.
TEST(PerPassEquivalenceStopped, ABadStampLeavesTheSameTable) {
    test::TempFolder linear;
    test::TempFolder reference;
    for (const std::string& folder : {linear.Path(), reference.Path()}) {
        for (int n = 1; n <= 4; ++n) {
            test::Registers stamp = test::StampedRegisters(test::StampSource::Local, 2024, 5, 1, 8, n, 0);
            if (n == 4)
                stamp[23] = static_cast<std::uint16_t>(24 << 11); // hour 24
            SeriesWriter::WriteQxs(folder + "/run_000" + std::to_string(n) + ".qxs",
                                   SeriesWriter::SampleCounts(16384, n), stamp);
        }
    }
    LogOrganizer organizer;
    const test::Choices choices{1, Organization::Table, LabelKind::ElapsedTime, true, "2048"};
    test::Configure(organizer, linear.File("run_0001.qxs"), linear.File("run_0004.qxs"), choices);
    test::RecordingHost host;
    EXPECT_EQ(organizer.ConvertLogSequence(host), ConversionOutcome::Failed);

    ConversionSettings settings;
    settings.label = LabelKind::ElapsedTime;
    settings.channelColumn = true;
    test::PerPassReference::Convert(reference.File("run_0001.qxs"), reference.File("run_0004.qxs"), settings,
                                    2048);
    const std::string table = "run_0001_to_0004_+1_qxs.csv";
    EXPECT_TRUE(SeriesWriter::ReadText(linear.File(table)) == SeriesWriter::ReadText(reference.File(table)));
    EXPECT_EQ(SeriesWriter::ReadText(linear.File(table)).substr(0, 20), "Channel,0,60,120\r\n0,");
}

} // namespace
} // namespace kettrim
