#include "spectrum/SaveOrExport.h"
#include "session/ParameterMap.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumExporter.h"
#include "spectrum/SpectrumFileWriter.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::ReadAll;
using test::ScriptedHost;
using test::TempDir;
using test::WriteAll;

struct Flow {
    ScriptedHost host;
    SpectrumFileWriter writer{host};
    SpectrumExporter exporter{host};
    SaveOrExport flow{host, writer, exporter};
    CSpectrum active{true};
    int repaints = 0;
    Flow() {
        active.SetShown(true);
        flow.SetRepaint([this] { ++repaints; });
    }
};

TEST(SaveOrExport, ASaveWithoutExtensionGetsQxsAndAnExportKeepsItsName) {
    TempDir dir;
    Flow f;
    f.host.chosenFile = dir.File("run7");
    f.host.tagAnswer = "run 7";
    ASSERT_TRUE(f.flow.Run(SpectrumFileCommand::Save, f.active));
    EXPECT_TRUE(PathExists(dir.File("run7.qxs")));
    EXPECT_FALSE(PathExists(dir.File("run7")));
    EXPECT_EQ(f.flow.RememberedPath(), dir.File("run7.qxs"));
    ASSERT_EQ(f.host.fileRequests.size(), 1u);
    const FileDialogRequest& save = f.host.fileRequests[0];
    EXPECT_EQ(save.mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(save.title, "Save Spectrum As...");
    EXPECT_EQ(save.filters, std::vector<std::string>{"Orvane Spectrum (*.qxs)"});
    EXPECT_EQ(save.defaultExtension, "qxs");
    EXPECT_EQ(f.repaints, 1);

    ASSERT_TRUE(f.flow.Run(SpectrumFileCommand::CsvHard, f.active));
    EXPECT_TRUE(PathExists(dir.File("run7")));
    EXPECT_EQ(ReadAll(dir.File("run7")).substr(0, 18), "Exported Spectrum\n");
    EXPECT_EQ(f.host.fileRequests[1].title, "Export Spectrum As...");
    EXPECT_EQ(f.host.fileRequests[1].filters, std::vector<std::string>{"CSV File (*.csv)"});
    EXPECT_EQ(f.host.fileRequests[1].initialPath, dir.File("run7.qxs"));
    EXPECT_TRUE(f.host.boxes.empty());
}

TEST(SaveOrExport, ChnExportsInHardOrSoftChannels) {
    TempDir dir;
    Flow f;
    f.active.SetSizes(16384, 2048);
    f.host.chosenFile = dir.File("run.chn");
    ASSERT_TRUE(f.flow.Run(SpectrumFileCommand::ChnSoft, f.active));
    EXPECT_EQ(f.host.fileRequests[0].filters, std::vector<std::string>{"CHN File (*.chn)"});
    EXPECT_EQ(ReadAll(dir.File("run.chn")).size(), 32u + 4 * 2048);
    f.host.answers = {kAnswerOk};
    ASSERT_TRUE(f.flow.Run(SpectrumFileCommand::ChnHard, f.active));
    EXPECT_EQ(ReadAll(dir.File("run.chn")).size(), 32u + 4 * 16384);
}

TEST(SaveOrExport, AnExistingFileIsOverwrittenOnlyAfterOk) {
    TempDir dir;
    Flow f;
    WriteAll(dir.File("run7.qxs"), "keep me");
    f.host.chosenFile = dir.File("run7");
    f.host.answers = {kAnswerCancel};
    EXPECT_FALSE(f.flow.Run(SpectrumFileCommand::Save, f.active));
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text, "FILE ALREADY EXISTS. DO YOU WANT TO OVERWRITE THE FILE?");
    EXPECT_EQ(f.host.boxes[0].caption, "Warning");
    EXPECT_EQ(f.host.boxes[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(ReadAll(dir.File("run7.qxs")), "keep me");
    EXPECT_TRUE(f.host.tagInitials.empty()) << "no tag dialog after a refused overwrite";

    f.host.answers = {kAnswerOk};
    EXPECT_TRUE(f.flow.Run(SpectrumFileCommand::Save, f.active));
    EXPECT_NE(ReadAll(dir.File("run7.qxs")), "keep me");
}

TEST(SaveOrExport, ACancelledChooserWritesNothing) {
    TempDir dir;
    Flow f;
    EXPECT_FALSE(f.flow.Run(SpectrumFileCommand::CsvSoft, f.active));
    EXPECT_EQ(dir.Entries(), 0u);
    EXPECT_TRUE(f.host.tagInitials.empty());
    EXPECT_EQ(f.repaints, 0);
}

TEST(SaveOrExport, ACancelledTagDialogStillWritesWithTheStartTextAsTag) {
    TempDir dir;
    Flow f;
    f.active.SetTag("previous tag");
    f.host.chosenFile = dir.File("a.csv");
    ASSERT_TRUE(f.flow.Run(SpectrumFileCommand::CsvHard, f.active));
    EXPECT_EQ(f.host.tagInitials, std::vector<std::string>{"previous tag"});
    EXPECT_EQ(f.active.Tag(), "WAITING FOR START");
    EXPECT_NE(ReadAll(dir.File("a.csv")).find("TAG,WAITING FOR START\n"), std::string::npos);

    f.active.Image().Set(reg::kStartDate, EncodeDateWord(2026, 3, 9));
    f.active.Image().Set(reg::kStartTime, EncodeTimeWord(14, 2, 36));
    f.host.chosenFile = dir.File("b.qxs");
    ASSERT_TRUE(f.flow.Run(SpectrumFileCommand::Save, f.active));
    EXPECT_EQ(f.active.Tag(), "09/03/2026  14:02:36");
    EXPECT_NE(ReadAll(dir.File("b.qxs")).find("  <tag>09/03/2026  14:02:36</tag>\n"), std::string::npos);
}

} // namespace
} // namespace orvane
