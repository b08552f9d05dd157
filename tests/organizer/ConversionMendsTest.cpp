#include "support/ChildProcess.h"
#include "support/ConversionFixture.h"
#include "support/PerPassReference.h"
#include "support/TimeZone.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace kettrim {
namespace {

using test::Choices;
using test::CrLfLines;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

class ConversionMends : public test::ConversionFixture {
protected:
    void WriteRuns(int from, int to) {
        for (int n = from; n <= to; ++n)
            WriteQxs(Name(n),
                     {{0, static_cast<std::uint32_t>(n)}, {40, 100u + static_cast<std::uint32_t>(n)}},
                     Stamp(n));
    }
    static std::string Name(int n) { return "run_000" + std::to_string(n) + ".qxs"; }
};

TEST_F(ConversionMends, AFileMissingFromADescendingSeriesGetsAColumnOfZerosAndTheRunFails) {
    WriteRuns(1, 3);
    fs::remove(Path(Name(2)));
    EXPECT_EQ(Convert(Name(3), Name(1), {1, Organization::Table, LabelKind::TimeStamp, true, "512"}),
              ConversionOutcome::Failed);
    // Neither file 3's counts nor its stamp show up in file 2's column.
    EXPECT_EQ(
        FirstLines("run_0003_to_0001_+1_qxs.csv", 3),
        (Lines{"Channel,LOCAL 05-DEC-2019 14:03:00,LOCAL 01-JAN-2000 00:00:00,LOCAL 05-DEC-2019 14:01:00",
               "0, 3,0,1", "1, 103,0,101"}));
    EXPECT_EQ(host_.lines, (Lines{"Start Conversion", "Processing:" + Path(Name(3)),
                                  "Processing:" + Path(Name(2)), "Unable to Open File\n" + Path(Name(2)),
                                  "Processing:" + Path(Name(1)), "Conversion Aborted due to Errors!"}));
}

TEST_F(ConversionMends, AnUnreadableFileInTheMiddleFailsTheRunAndNoDescriptorIsLeftOpen) {
    WriteRuns(1, 3);
    fs::remove(Path(Name(2)));
    fs::create_directory(Path(Name(2))); // opens, so it passes the check, but cannot be read
    const int descriptors = OpenDescriptors();
    EXPECT_EQ(Convert(Name(1), Name(3), {1, Organization::Table, LabelKind::FileNumber, false, "512"}),
              ConversionOutcome::Failed);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(FirstLines("run_0001_to_0003_+1_qxs.csv", 3), (Lines{"0001,0002,0003", "1,0,3", "101,0,103"}));
    EXPECT_EQ(host_.lines[3], "Unable to Open File\n" + Path(Name(2)));
    EXPECT_EQ(host_.lines.back(), "Conversion Aborted due to Errors!");
}

TEST_F(ConversionMends, AReadOnlyArchiveIsConvertedAndLeftUntouched) {
    WriteRuns(1, 3);
    const std::string before = Read(Name(2));
    for (int n = 1; n <= 3; ++n)
        fs::permissions(Path(Name(n)),
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(folder_.Path(), fs::perms::all);
    const int status = test::RunInChild([&] {
        if (!test::DropRootPrivileges())
            return 90;
        return Convert(Name(1), Name(3)) == ConversionOutcome::Completed ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(FirstLines("run_0001_to_0003_+1_qxs.csv", 2), (Lines{"run_0001,run_0002,run_0003", "1,2,3"}));
    EXPECT_EQ(Read(Name(2)), before);
}

TEST_F(ConversionMends, TwoUnrelatedFilesAreReportedAsSuchNotAsAGap) {
    WriteRuns(1, 1);
    WriteQxs("other_0009.qxs", {});
    EXPECT_EQ(Convert(Name(1), "other_0009.qxs"), ConversionOutcome::Rejected);
    EXPECT_EQ(host_.lines, (Lines{"Start Conversion", "Conversion Aborted due to Errors"}));
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].rfind("The First File and the Last File are not from the same", 0), 0u);
}

TEST_F(ConversionMends, ElapsedTimeOfAUtcSeriesDoesNotJumpAtADaylightSavingChange) {
    test::TimeZone berlin("Europe/Berlin"); // 02:00 CET becomes 03:00 CEST on 26 March 2023
    struct Case {
        test::StampSource source;
        const char* header;
    };
    for (const Case& c : {Case{test::StampSource::Utc, "0,10800"}, Case{test::StampSource::System, "0,10800"},
                          Case{test::StampSource::Local, "0,7200"}}) {
        WriteQxs(Name(1), {}, test::StampedRegisters(c.source, 2023, 3, 26, 0, 30, 0));
        WriteQxs(Name(2), {}, test::StampedRegisters(c.source, 2023, 3, 26, 3, 30, 0));
        EXPECT_EQ(Convert(Name(1), Name(2), {1, Organization::Table, LabelKind::ElapsedTime, false, "512"}),
                  ConversionOutcome::Completed);
        EXPECT_EQ(FirstLines("run_0001_to_0002_+1_qxs.csv", 1), Lines{c.header});
    }
}

TEST_F(ConversionMends, WhenTheTableCannotBeWrittenTheTemporaryTableKeepsItComplete) {
    WriteRuns(1, 3);
    fs::create_directory(Path("run_0001_to_0003_+1_qxs.csv"));
    const Choices choices{1, Organization::Table, LabelKind::FileNumber, true, "512"};
    EXPECT_EQ(Convert(Name(1), Name(3), choices), ConversionOutcome::Failed);
    EXPECT_EQ(host_.lines,
              (Lines{"Start Conversion", "Processing:" + Path(Name(1)), "Error: Unable to Write Files",
                     "Processing:" + Path(Name(2)), "Processing:" + Path(Name(3)),
                     "Error: Unable to Read/Write Files", "Conversion Aborted due to Errors!"}));

    // The same series converted the plain way elsewhere gives the table the temporary file holds.
    test::TempFolder other;
    for (int n = 1; n <= 3; ++n)
        fs::copy_file(Path(Name(n)), other.File(Name(n)));
    ConversionSettings settings;
    settings.label = LabelKind::FileNumber;
    settings.channelColumn = true;
    test::PerPassReference::Convert(other.File(Name(1)), other.File(Name(3)), settings, 512);
    EXPECT_EQ(Read("run_0000_qxs.csv"),
              test::SeriesWriter::ReadText(other.File("run_0001_to_0003_+1_qxs.csv")));
}

TEST_F(ConversionMends, ABadStampStopsTheRunWithTheColumnsProcessedSoFar) {
    WriteRuns(1, 4);
    test::Registers bad = Stamp(3);
    bad[22] &= static_cast<std::uint16_t>(~(0x0F << 5)); // month 0
    WriteQxs(Name(3), {{0, 3}}, bad);
    EXPECT_EQ(Convert(Name(1), Name(4), {1, Organization::Table, LabelKind::TimeStamp, false, "512"}),
              ConversionOutcome::Failed);
    EXPECT_EQ(FirstLines("run_0001_to_0004_+1_qxs.csv", 3),
              (Lines{"LOCAL 05-DEC-2019 14:01:00,LOCAL 05-DEC-2019 14:02:00", "1,2", "101,102"}));
    EXPECT_EQ(host_.errors, (Lines{"Invalid Time Stamp!\n File: " + Path(Name(3)) +
                                   "\n The conversion stops at this file."}));
    EXPECT_EQ(host_.lines.size(), 5u); // start, files 1 to 3, the end
    EXPECT_EQ(host_.lines.back(), "Conversion Aborted due to Errors!");
    EXPECT_FALSE(fs::exists(Path("run_0000_qxs.csv")));

    // Without stamp labels only the first file's stamp is looked at.
    host_.errors.clear();
    EXPECT_EQ(Convert(Name(2), Name(4)), ConversionOutcome::Completed);
    EXPECT_TRUE(host_.errors.empty());
    EXPECT_EQ(Convert(Name(3), Name(4)), ConversionOutcome::Failed);
    EXPECT_FALSE(fs::exists(Path("run_0003_to_0004_+1_qxs.csv")));
}

TEST_F(ConversionMends, AFailedWriteFailsTheRunEvenWhenTheLastWriteSucceeds) {
    WriteRuns(1, 3);
    fs::create_directory(Path("run_0002_qxs.csv"));
    EXPECT_EQ(
        Convert(Name(1), Name(3), {1, Organization::IndividualFiles, LabelKind::FileName, false, "512"}),
        ConversionOutcome::Failed);
    EXPECT_EQ(host_.lines[2], "Processing:" + Path(Name(2)));
    EXPECT_EQ(host_.lines[3], "Error: Unable to Write Files");
    EXPECT_EQ(host_.lines.back(), "Conversion Aborted due to Errors!");
    EXPECT_EQ(FirstLines("run_0003_qxs.csv", 2), (Lines{"run_0003", "3"}));
}

TEST_F(ConversionMends, AFullDiskLeavesNoTruncatedTable) {
    test::Counts counts(16384, 0);
    for (int r = 0; r < 512; ++r)
        counts[static_cast<std::size_t>(32 * r)] = 10000000u + static_cast<std::uint32_t>(r);
    for (int n = 1; n <= 5; ++n)
        test::SeriesWriter::WriteQxs(Path(Name(n)), counts, Stamp(n));
    // Files may grow to 16 KiB only: the column scratch file (10 KiB) fits, the table (25 KiB) does not.
    const int status = test::RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 90;
        if (Convert(Name(1), Name(5), {1, Organization::Table, LabelKind::FileNumber, true, "512"}) !=
            ConversionOutcome::Failed)
            return 1;
        return host_.lines.end()[-2] == "Error: Unable to Read/Write Files" ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    // The table written for the first file stays whole, and no staging file is left behind.
    Lines expected = {"Channel,0001"};
    for (int r = 0; r < 512; ++r)
        expected.push_back(std::to_string(r) + ", " + std::to_string(10000000 + r));
    EXPECT_EQ(Read("run_0001_to_0005_+1_qxs.csv"), CrLfLines(expected));
    EXPECT_EQ(Names().size(), 6u);
}

} // namespace
} // namespace kettrim
