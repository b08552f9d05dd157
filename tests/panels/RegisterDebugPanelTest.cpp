#include "panels/RegisterDebugPanel.h"
#include "spectrum/CSpectrum.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumFileWriter.h"
#include "support/FailingFileIo.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::ReadAll;
using test::ScriptedHost;
using test::TempDir;
using test::WriteAll;

struct FakeLink : RegisterWriteLink {
    bool connected = true, logging = false;
    int writes = 0;
    bool InstrumentConnected() const override { return connected; }
    bool LoggerRunning() const override { return logging; }
    void WriteAllRegisters() override { ++writes; }
};

std::string BitCaptions(const RegisterDebugPanel& p) {
    std::string captions;
    for (int k = 15; k >= 0; --k)
        captions += p.Bit(k).caption;
    return captions;
}

TEST(RegisterDebugPanel, StartState) {
    ScriptedHost host;
    RegisterDebugPanel p(host);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(p.GetWords()[i], 10 * i);
    EXPECT_EQ(p.Selected(), 0);
    EXPECT_TRUE(p.AutoRead());
    EXPECT_FALSE(p.AutoWrite());
    EXPECT_FALSE(p.ReadRequest());
    EXPECT_EQ(p.HexText(), "0");
    EXPECT_EQ(p.DecText(), "0");
    EXPECT_EQ(RegisterDebugPanel::SelectorEntry(127), "127");
    p.Select(100);
    EXPECT_EQ(p.DecText(), "1000");
    EXPECT_EQ(p.HexText(), "3E8");
    EXPECT_EQ(BitCaptions(p), "0000001111101000");
}

TEST(RegisterDebugPanel, Typing1FInHexWithRegister5Selected) {
    ScriptedHost host;
    RegisterDebugPanel p(host);
    p.Select(5);
    p.SetHexFocus(true);
    p.OnHexChanged("1F");
    EXPECT_EQ(p.DecText(), "31");
    EXPECT_EQ(p.HexText(), "1F");
    EXPECT_EQ(p.GetWords()[5], 31);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(p.Bit(k).caption, k < 5 ? "1" : "0") << k;
        EXPECT_EQ(p.Bit(k).pushed, k >= 5) << k;
    }
}

TEST(RegisterDebugPanel, EditsActOnlyWithTheFocusAndClampTheirValues) {
    ScriptedHost host;
    RegisterDebugPanel p(host);
    p.Select(3);
    p.OnHexChanged("FF");
    p.OnDecChanged("12");
    EXPECT_EQ(p.GetWords()[3], 30) << "no focus, no effect";
    struct Case {
        bool hex;
        const char* text;
        int value;
    } cases[] = {
        {true, "zz", 0},         {true, "", 0},        {true, "0x10", 16},      {true, "ffff", 65535},
        {true, "10000", 65535},  {true, "-1", 0},      {false, "-1", 0},        {false, "abc", 0},
        {false, "70000", 65535}, {false, "  42x", 42}, {false, "65535", 65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        p.SetHexFocus(c.hex);
        p.SetDecFocus(!c.hex);
        if (c.hex)
            p.OnHexChanged(c.text);
        else
            p.OnDecChanged(c.text);
        EXPECT_EQ(p.GetWords()[3], c.value);
        EXPECT_EQ(p.DecText(), std::to_string(c.value));
    }
}

TEST(RegisterDebugPanel, BitButtonsRecomputeTheWord) {
    ScriptedHost host;
    RegisterDebugPanel p(host);
    p.Select(1); // 10 = 0b1010
    p.OnBitClicked(15);
    EXPECT_EQ(p.GetWords()[1], 0x800A);
    EXPECT_EQ(p.HexText(), "800A");
    EXPECT_EQ(p.DecText(), "32778");
    EXPECT_EQ(p.Bit(15).caption, "1");
    EXPECT_FALSE(p.Bit(15).pushed);
    p.OnBitClicked(1);
    EXPECT_EQ(p.GetWords()[1], 0x8008);
    EXPECT_EQ(BitCaptions(p), "1000000000001000");
}

TEST(RegisterDebugPanel, ReadAndAutoRead) {
    ScriptedHost host;
    RegisterDebugPanel p(host);
    CSpectrum active(true);
    for (int k = 0; k < 128; ++k)
        active.Image().Set(k, static_cast<std::uint16_t>(500 + k));
    p.Select(7);
    p.Refresh(active);
    EXPECT_EQ(p.GetWords()[0], 500);
    EXPECT_EQ(p.DecText(), "507");
    active.Image().Set(7, 1);
    p.SetAutoRead(false);
    p.Refresh(active);
    EXPECT_EQ(p.GetWords()[7], 507) << "without AUTO READ a read-back leaves the copy";
    p.Read(active);
    EXPECT_EQ(p.GetWords()[7], 1) << "READ copies regardless";
    EXPECT_FALSE(p.ReadRequest());
}

TEST(RegisterDebugPanel, WriteGoesToTheBufferSpectrumAndTheInstrument) {
    ScriptedHost host;
    RegisterDebugPanel p(host);
    CSpectrum buffer(true);
    FakeLink link;
    p.SetWriteTarget(&buffer, &link);
    p.Select(40);
    p.Write();
    EXPECT_EQ(buffer.Image().Get(40), 400);
    EXPECT_EQ(buffer.Image().Get(41), 0) << "only the selected register changes";
    EXPECT_EQ(link.writes, 1);
    EXPECT_FALSE(buffer.Image().Settled()) << "settled again when the write is sent";

    link.logging = true;
    p.Select(41);
    p.Write();
    EXPECT_EQ(buffer.Image().Get(41), 410);
    EXPECT_EQ(link.writes, 1) << "no write while the logger runs";

    link.connected = false;
    p.Select(42);
    p.Write();
    EXPECT_EQ(buffer.Image().Get(42), 0);
    EXPECT_TRUE(buffer.Image().Settled());

    link.connected = true;
    link.logging = false;
    p.SetAutoWrite(true);
    p.SetDecFocus(true);
    p.OnDecChanged("7");
    EXPECT_EQ(buffer.Image().Get(42), 7);
    p.OnBitClicked(4);
    EXPECT_EQ(buffer.Image().Get(42), 23);
    EXPECT_EQ(link.writes, 3);
}

TEST(RegisterFile, SaveThenLoadReproducesAll128Words) {
    TempDir dir;
    ScriptedHost host;
    RegisterDebugPanel a(host);
    a.SetDecFocus(true);
    for (int k = 0; k < 128; ++k) {
        a.Select(k);
        a.OnDecChanged(std::to_string(65535 - 511 * k));
    }
    ASSERT_TRUE(a.SaveTo(dir.File("set.rgv")));
    const std::string text = ReadAll(dir.File("set.rgv"));
    EXPECT_EQ(text.substr(0, 40), "<registers>\n  <size>128</size>\n  <data>\n");
    EXPECT_EQ(text.substr(text.size() - 24), "\n  </data>\n</registers>\n");
    EXPECT_NE(text.find("\n65535\n65024\n"), std::string::npos);
    RegisterDebugPanel b(host);
    ASSERT_TRUE(b.LoadFrom(dir.File("set.rgv")));
    EXPECT_EQ(b.GetWords(), a.GetWords());
    EXPECT_EQ(b.DecText(), "65535") << "words[selected] is shown";
    EXPECT_TRUE(host.boxes.empty());
}

TEST(RegisterFile, LoadCases) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::pair<int, int>> expected; // word, value
    } cases[] = {
        {"size 200 loads at most 128",
         [] {
             std::string t = "<registers>\n<size>200</size>\n<data>\n";
             for (int k = 0; k < 200; ++k)
                 t += std::to_string(k + 1) + "\n";
             return t + "</data>\n</registers>\n";
         }(),
         {{0, 1}, {127, 128}}},
        {"size -3 loads none",
         "<registers>\n<size>-3</size>\n<data>\n5\n6\n</data>\n</registers>\n",
         {{0, 0}, {1, 10}}},
        {"an early </data> leaves the rest",
         "<registers>\n<data>\n5\n6\n</data>\n7\n</registers>\n",
         {{0, 5}, {1, 6}, {2, 20}, {3, 30}}},
        {"spaces and capitals in the opening",
         "< REGISTERS >\n<size>2</size>\n<data>\n 1 2 \n34\n56\n",
         {{0, 12}, {1, 34}, {2, 20}}},
        {"no block", "<data>\n5\n</data>\n", {{0, 0}, {1, 10}}},
        {"lines before the block are skipped", "5\n6\n<registers>\n<data>\n7\n", {{0, 7}, {1, 10}}},
        {"a later block overrides",
         "<registers>\n<data>\n1\n2\n</data>\n</registers>\n<Registers>\n"
         "<size>1</size>\n<data>\n9\n</data>\n</registers>\n",
         {{0, 9}, {1, 2}}},
        {"windows line ends",
         "<registers>\r\n<size>1</size>\r\n<data>\r\n77\r\n</data>\r\n</registers>\r\n",
         {{0, 77}, {1, 10}}},
        {"values wrap to 16 bits", "<registers>\n<data>\n65536\n-1\nx\n", {{0, 0}, {1, 65535}, {2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteAll(dir.File("f.rgv"), c.text);
        ScriptedHost host;
        RegisterDebugPanel p(host);
        ASSERT_TRUE(p.LoadFrom(dir.File("f.rgv")));
        for (const auto& [word, value] : c.expected)
            EXPECT_EQ(p.GetWords()[word], value) << "word " << word;
        EXPECT_EQ(p.GetWords()[127], c.expected.back().first == 127 ? 128 : 1270);
    }
}

TEST(RegisterFile, ASpectrumFileGivesItsRegisterBlock) {
    TempDir dir;
    ScriptedHost host;
    CSpectrum s(false);
    for (int k = 0; k < 128; ++k)
        s.Image().Set(k, static_cast<std::uint16_t>(3 * k + 1));
    ASSERT_TRUE(SpectrumFileWriter(host).Save(s, dir.File("run.qxs")));
    RegisterDebugPanel p(host);
    ASSERT_TRUE(p.LoadFrom(dir.File("run.qxs")));
    for (int k = 0; k < 128; ++k)
        ASSERT_EQ(p.GetWords()[k], 3 * k + 1);
}

TEST(RegisterFile, ChoosersQuestionsAndFailures) {
    TempDir dir;
    ScriptedHost host;
    RegisterDebugPanel p(host);
    p.LoadFile(); // chooser cancelled
    ASSERT_EQ(host.fileRequests.size(), 1u);
    EXPECT_EQ(host.fileRequests[0].mode, FileDialogRequest::Mode::Open);
    EXPECT_EQ(host.fileRequests[0].title, "Load Register File");
    EXPECT_EQ(
        host.fileRequests[0].filters,
        (std::vector<std::string>{"Register Files (*.rgv)", "Orvane Spectrum (*.qxs)", "All Files (*)"}));

    host.chosenFile = dir.File("missing.rgv");
    p.LoadFile();
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Unable to Open File"});

    host.chosenFile = dir.File("set");
    p.SaveFile();
    EXPECT_EQ(host.fileRequests.back().title, "Save Register File");
    EXPECT_EQ(host.fileRequests.back().filters,
              (std::vector<std::string>{"Register Files (*.rgv)", "All Files (*)"}));
    EXPECT_EQ(host.fileRequests.back().defaultExtension, "rgv");
    EXPECT_TRUE(PathExists(dir.File("set.rgv")));

    WriteAll(dir.File("set.rgv"), "old");
    host.answers = {kAnswerCancel};
    p.SaveFile();
    EXPECT_EQ(host.boxes.back().text, "FILE ALREADY EXISTS. DO YOU WANT TO OVERWRITE THE FILE?");
    EXPECT_EQ(ReadAll(dir.File("set.rgv")), "old");
    host.answers = {kAnswerOk};
    p.SaveFile();
    EXPECT_EQ(ReadAll(dir.File("set.rgv")), RegisterFile::Format(p.GetWords()));

    host.boxes.clear();
    WriteAll(dir.File("plain"), "x");
    EXPECT_FALSE(p.SaveTo(dir.File("plain/set.rgv")));
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"Unable to Open File"});

    test::FailingFileIo full;
    full.spaceLeft = 10;
    RegisterDebugPanel q(host, full);
    EXPECT_FALSE(q.SaveTo(dir.File("set.rgv")));
    EXPECT_EQ(host.boxes.back().text, "Error Writing to File");
    EXPECT_EQ(ReadAll(dir.File("set.rgv")), RegisterFile::Format(p.GetWords()));
}

} // namespace
} // namespace orvane
