#include "firmware/FpgaExchange.h"
#include "device/CSerialMFC.h"
#include "device/CallbackSerialWindow.h"
#include "device/Frames.h"
#include "firmware/FpgaFixture.h"
#include "shell/MemorySettingsStore.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include <sys/stat.h>

namespace orvane {
namespace {

using test::Hex;
using Outcome = FpgaExchange::Outcome;

const std::string kUploadDone = std::string(38, '*');
const std::string kVerifyDone = std::string(52, '*');
const std::string kTildes = std::string(30, '~');

std::uint8_t Reversed(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1u << i))
            r = static_cast<std::uint8_t>(r | (0x80u >> i));
    return r;
}

// The exchange on a borrowed, open port to the simulated instrument over a real pseudo-terminal, on a
// fake clock: its 100 ms ticks move only when the test advances time.
struct Bench {
    explicit Bench(const SimulatorOptions& options = {}) : line(loop, options) { Connect(line.Path()); }
    explicit Bench(const std::string& path) : line(loop, {}) { Connect(path); }
    ~Bench() {
        exchange.Close();
        port.ClosePort();
    }
    void Connect(const std::string& path) {
        EXPECT_EQ(port.OpenForWindow(path, &window, 0, 0, 2000, 2000), 0);
        port.SetLineFormat(921600, 8, 0, 0);
        port.SetEventMask(serial::kEventReceived | serial::kEventLineError);
        port.SetFlowControl(serial::kFlowRtsCts);
        exchange.Open();
    }

    bool RunToIdle() {
        return loop.RunUntil([&] { return !exchange.Busy(); });
    }
    void Upload(const std::string& path) {
        exchange.SetImagePath(path);
        exchange.Upload();
        ASSERT_TRUE(RunToIdle());
    }
    void Verify(const std::string& path) {
        exchange.SetImagePath(path);
        exchange.Verify();
        ASSERT_TRUE(RunToIdle());
    }
    // The lines added since the last call.
    std::vector<std::string> NewLines() {
        const auto& all = exchange.Progress().Lines();
        std::vector<std::string> lines(all.begin() + static_cast<long>(std::min(seen, all.size())),
                                       all.end());
        seen = all.size();
        return lines;
    }
    std::vector<PtySimulator::Exchange> History() { return line.Simulator().History(); }
    SimulatedFlash& Flash() { return line.Simulator().Instrument().Flash(); }
    // The fake time of 100 ms ticks.
    void Ticks(int count) { loop.Advance(count * FpgaExchange::kTickMs); }

    test::FakeLoop loop;
    test::ImageFolder dir;
    test::SimulatedLine line;
    test::RecordingHost host;
    MemorySettingsStore settings;
    CSerialMFC port;
    FpgaExchange exchange{port, loop, host, settings};
    CallbackSerialWindow window{loop, [this](std::uint32_t param) { exchange.OnSerialEvent(param); }};
    std::size_t seen = 0;
};

TEST(FpgaExchange, AnRbfOf1000BytesGoesOutInTwoPaddedBlocksAndVerifiesClean) {
    Bench b;
    const auto image = test::ImageBytes(1000);
    const std::string path = b.dir.Write("design.rbf", image);
    b.exchange.SetImagePath(path);
    b.exchange.Upload();
    EXPECT_TRUE(b.exchange.Busy());
    EXPECT_FALSE(b.exchange.ActionsEnabled());
    EXPECT_EQ(b.exchange.ProgressMax(), 1000u);
    EXPECT_EQ(b.exchange.ProgressStep(), 67u);
    ASSERT_TRUE(b.RunToIdle());
    EXPECT_EQ(b.NewLines(),
              (std::vector<std::string>{"Open File: " + path, "Uploading...", "Writing FPGA Flash: Done!",
                                        "1024 Bytes Uploaded", kUploadDone}));
    EXPECT_EQ(b.exchange.LastOutcome(), Outcome::Done);
    EXPECT_TRUE(b.exchange.ActionsEnabled());
    EXPECT_EQ(b.exchange.ProgressPosition(), 0u);

    const auto history = b.History();
    ASSERT_EQ(history.size(), 2u);
    for (std::size_t block = 0; block < 2; ++block) {
        const auto& frame = history[block].frame;
        ASSERT_EQ(frame.size(), 521u);
        EXPECT_EQ(Hex({frame.begin(), frame.begin() + 8}),
                  block == 0 ? "D2 00 09 02 00 00 00 00" : "D2 00 09 02 00 02 00 00");
        EXPECT_EQ(Hex(history[block].reply),
                  block == 0 ? "D2 00 09 00 00 00 00 00 26" : "D2 00 09 00 00 02 00 00 24");
    }
    // The flash holds the image bit-reversed, the second block padded with 0xFF after 488 bytes.
    for (std::size_t i = 0; i < 1024; ++i)
        ASSERT_EQ(b.Flash().Byte(static_cast<std::uint32_t>(i)), i < 1000 ? Reversed(image[i]) : 0xFF)
            << "at " << i;

    b.Verify(path);
    EXPECT_EQ(b.NewLines(), (std::vector<std::string>{"Open File: " + path, "Verifying...",
                                                      "Verifyed 1024 bytes...0 Errors Found!", kVerifyDone}));
    const auto reads = b.History();
    ASSERT_EQ(reads.size(), 4u);
    EXPECT_EQ(Hex(reads[2].frame), "D7 00 0B 00 00 00 00 00 00 02 1D");
    EXPECT_EQ(Hex(reads[3].frame), "D7 00 0B 00 00 02 00 00 00 02 1B");
    EXPECT_EQ(b.exchange.VerifyErrors(), 0);
    EXPECT_EQ(b.exchange.LastOutcome(), Outcome::Done);
}

TEST(FpgaExchange, AnUpperCaseQbfGoesToItsAddressAsItIsWithAnAllFFBlockForTheHeader) {
    Bench b;
    const auto image = test::ImageBytes(512, 7);
    test::QbfHeader header;
    header.address = 0x10000;
    const std::string path = b.dir.Write("Design.QBF", test::QbfFile(image, header));
    b.Upload(path);
    EXPECT_EQ(b.NewLines().at(3), "1024 Bytes Uploaded");
    const auto history = b.History();
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(Hex({history[0].frame.begin() + 4, history[0].frame.begin() + 8}), "00 00 01 00");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), history[0].frame.begin() + 8));
    EXPECT_TRUE(std::all_of(history[1].frame.begin() + 8, history[1].frame.end() - 1,
                            [](std::uint8_t v) { return v == 0xFF; }));
    EXPECT_EQ(b.Flash().Byte(0x10000), image[0]);
    EXPECT_EQ(b.Flash().Byte(0), 0xFF); // the header never reaches the flash

    b.Verify(path);
    EXPECT_EQ(b.NewLines().at(2), "Verifyed 1024 bytes...0 Errors Found!");
    const auto firstRead = b.History().at(2).frame;
    EXPECT_EQ(Hex({firstRead.begin(), firstRead.begin() + 8}), "D7 00 0B 00 00 00 01 00");
}

TEST(FpgaExchange, ARawImageOfAnyOtherTypeIsComparedAsItWasWritten) {
    Bench b;
    const std::string path = b.dir.Write("design.bin", test::ImageBytes(700, 3));
    b.Upload(path);
    b.Verify(path);
    EXPECT_EQ(b.NewLines().back(), kVerifyDone);
    EXPECT_EQ(b.exchange.VerifyErrors(), 0);
}

TEST(FpgaExchange, RepliesArrivingInPiecesAreCollectedAcrossNotifications) {
    SimulatorOptions options;
    options.splitPieces = 4;
    options.splitDelayMs = 1;
    Bench b(options);
    const std::string path = b.dir.Write("design.rbf", test::ImageBytes(1500, 11));
    b.Upload(path);
    b.Verify(path);
    EXPECT_EQ(b.NewLines().at(5 + 2), "Verifyed 1536 bytes...0 Errors Found!");
}

TEST(FpgaExchange, VerifyListsEveryDifferingByteAndGoesOn) {
    Bench b;
    const auto image = test::ImageBytes(1000, 5);
    const std::string path = b.dir.Write("design.rbf", image);
    b.Upload(path);
    b.NewLines();
    b.Flash().SetByte(5, static_cast<std::uint8_t>(Reversed(image[5]) ^ 0x0F));
    b.Flash().SetByte(1023, 0x12); // padding the file does not have
    b.Verify(path);
    char first[80];
    std::snprintf(first, sizeof first, "Error address 5: file=%X device=%X", Reversed(image[5]),
                  Reversed(image[5]) ^ 0x0F);
    EXPECT_EQ(b.NewLines(), (std::vector<std::string>{"Open File: " + path, "Verifying...", first,
                                                      "Error address 1023: file=FF device=12",
                                                      "Verifyed 1024 bytes...2 Errors Found!", kVerifyDone}));
    EXPECT_EQ(b.exchange.VerifyErrors(), 2);
}

TEST(FpgaExchange, ConfigureSendsTheFixedFrameAndLeavesTheButtonsAlone) {
    Bench b;
    b.exchange.Configure();
    EXPECT_TRUE(b.exchange.Busy());
    EXPECT_TRUE(b.exchange.ActionsEnabled());
    ASSERT_TRUE(b.RunToIdle());
    EXPECT_EQ(b.NewLines(), (std::vector<std::string>{"FPGA Configured!", kUploadDone}));
    ASSERT_EQ(b.History().size(), 1u);
    EXPECT_EQ(Hex(b.History()[0].frame), "F6 00 09 00 44 55 BB AA 04");
    EXPECT_EQ(b.Flash().Configurations(), 1u);
}

TEST(FpgaExchange, ImagesThatMustNotBeWrittenAreRefusedWithoutTraffic) {
    const auto image = test::ImageBytes(600);
    const auto valid = test::QbfFile(image);
    test::QbfHeader offByOne, wrongMagic;
    offByOne.checksumError = 1;
    wrongMagic.magic = 0x4D4E;
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"checksum.qbf", test::QbfFile(image, offByOne)},
        {"magic.qbf", test::QbfFile(image, wrongMagic)},
        {"short.qbf", std::vector<std::uint8_t>(valid.begin(), valid.begin() + 10)},
        {"header-only.qbf", test::QbfFile({})},
        {"empty.rbf", {}},
    };
    Bench b;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = b.dir.Write(c.name, c.bytes);
        b.host.messages.clear();
        b.exchange.SetImagePath(path);
        b.exchange.Upload();
        EXPECT_FALSE(b.exchange.Busy());
        EXPECT_TRUE(b.exchange.ActionsEnabled());
        EXPECT_EQ(b.exchange.LastOutcome(), Outcome::InvalidImage);
        ASSERT_EQ(b.host.messages.size(), 1u);
        EXPECT_EQ(b.host.messages[0].text, "Invalid or corrupted file!");
        EXPECT_EQ(b.host.messages[0].icon, MessageIcon::Stop);
        b.exchange.Verify();
        EXPECT_EQ(b.host.messages.size(), 2u);
        EXPECT_EQ(b.NewLines(), (std::vector<std::string>{"Open File: " + path, "Open File: " + path}));
    }
    // The first frame the instrument sees is the one sent now.
    b.exchange.Configure();
    ASSERT_TRUE(b.RunToIdle());
    EXPECT_EQ(b.line.Simulator().FramesReceived(), 1u);
}

TEST(FpgaExchange, FilesThatCannotBeOpenedGiveTheirFileErrorAndSendNothing) {
    Bench b;
    const std::string file = b.dir.Write("plain.rbf", test::ImageBytes(10));
    const std::string pipe = b.dir.Path() + "/pipe.rbf";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* line;
    } cases[] = {
        {"*.qbf", "FILE ERROR: The file could not be located."}, // the File box as the dialog opens
        {b.dir.Path() + "/missing.rbf", "FILE ERROR: The file could not be located."},
        {file + "/inside.rbf", "FILE ERROR: All or part of the path is invalid."},
        {b.dir.Path() + "/" + std::string(300, 'n') + ".rbf",
         "FILE ERROR: All or part of the path is invalid."},
        {b.dir.Path(), "FILE ERROR: File Error."},
        {pipe, "FILE ERROR: File Error."}, // and no wait for a writer
    };
    EXPECT_EQ(b.exchange.ImagePath(), "*.qbf");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        b.exchange.SetImagePath(c.path);
        b.exchange.Upload();
        EXPECT_EQ(b.NewLines(), std::vector<std::string>{c.line});
        EXPECT_EQ(b.exchange.LastOutcome(), Outcome::FileError);
        EXPECT_FALSE(b.exchange.Busy());
    }
    EXPECT_TRUE(b.host.messages.empty());
    b.exchange.Configure();
    ASSERT_TRUE(b.RunToIdle());
    EXPECT_EQ(b.line.Simulator().FramesReceived(), 1u);
}

TEST(FpgaExchange, ABadReplyEndsTheExchangeWithItsLine) {
    SimulatorOptions corrupt;
    corrupt.corruptChecksumEvery = 1;
    Bench b(corrupt);
    const std::string path = b.dir.Write("design.rbf", test::ImageBytes(2000));
    b.Upload(path);
    EXPECT_EQ(b.NewLines().back(), "Check Sum Error Reading Data from Serial Port");
    EXPECT_EQ(b.exchange.LastOutcome(), Outcome::ReplyError);
    EXPECT_TRUE(b.exchange.ActionsEnabled());
    b.Verify(path);
    EXPECT_EQ(b.NewLines().back(), "Check Sum Error Reading Data from Serial Port");
    b.exchange.Configure();
    ASSERT_TRUE(b.RunToIdle());
    EXPECT_EQ(b.NewLines(), std::vector<std::string>{"Check Sum Error"});
    // No frame is repeated.
    EXPECT_EQ(b.line.Simulator().FramesReceived(), 3u);
}

TEST(FpgaExchange, AReplyWithAnotherCodeThanTheImageNamesIsRefused) {
    Bench b;
    test::QbfHeader header;
    header.code = 211; // the instrument answers a flash write with 210
    b.Upload(b.dir.Write("other.qbf", test::QbfFile(test::ImageBytes(100), header)));
    EXPECT_EQ(b.NewLines().back(), "Error Reading Data from Serial Port");
    EXPECT_EQ(b.line.Simulator().FramesReceived(), 1u);
}

TEST(FpgaExchange, AnUnpluggedInstrumentTimesOutAfter23Ticks) {
    SimulatorOptions options;
    options.unplugAfter = 0;
    Bench b(options);
    const std::string path = b.dir.Write("design.rbf", test::ImageBytes(2000));
    b.exchange.SetImagePath(path);
    b.exchange.Upload();
    // The first block finds the line pulled.
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.line.Simulator().Unplugged(); }));
    b.loop.RunPending();
    b.NewLines();
    b.Ticks(22);
    EXPECT_TRUE(b.exchange.Busy());
    b.Ticks(1);
    EXPECT_FALSE(b.exchange.Busy());
    EXPECT_TRUE(b.exchange.ActionsEnabled());
    EXPECT_EQ(b.exchange.LastOutcome(), Outcome::TimedOut);
    EXPECT_EQ(b.NewLines(), (std::vector<std::string>{kTildes, "Error: Communication Time Out", kTildes}));
    b.exchange.Stop(); // the file was closed with the exchange: nothing to cancel
    EXPECT_TRUE(b.NewLines().empty());
}

TEST(FpgaExchange, StopCancelsAnUploadAndALateReplyChangesNothing) {
    SimulatorOptions options;
    options.silentAfter = 1;
    Bench b(options);
    const std::string path = b.dir.Write("design.rbf", test::ImageBytes(2000));
    b.exchange.SetImagePath(path);
    b.exchange.Upload();
    ASSERT_TRUE(b.loop.RunUntil([&] { return b.exchange.ProgressPosition() == 512; }));
    b.NewLines();
    b.exchange.Stop();
    EXPECT_EQ(b.NewLines(),
              std::vector<std::string>{"Upload/Verification Cancelled. Please, reload/verify FPGA design!"});
    EXPECT_FALSE(b.exchange.Busy());
    EXPECT_TRUE(b.exchange.ActionsEnabled());
    EXPECT_EQ(b.exchange.ProgressPosition(), 0u);
    EXPECT_EQ(b.exchange.LastOutcome(), Outcome::Stopped);
    b.Ticks(30);
    EXPECT_TRUE(b.NewLines().empty());
}

TEST(FpgaExchange, ASecondActionWhileBusyIsRefusedAndKeepsTheReplyOnItsWay) {
    test::RawPty raw;
    Bench b(raw.Path());
    b.exchange.Configure();
    EXPECT_EQ(Hex(raw.Read(9)), "F6 00 09 00 44 55 BB AA 04");
    const int postsBefore = b.loop.PostsSeen();
    raw.Write(test::Bytes("F6 00 09 00 44 55 BB AA 04"));
    // The reply waits in the port, its notification queued, when the user presses the other buttons.
    for (int i = 0; i < 200 && b.loop.PostsSeen() == postsBefore; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    b.exchange.SetImagePath(b.dir.Write("design.rbf", test::ImageBytes(100)));
    b.exchange.Upload();
    b.exchange.Verify();
    b.exchange.Configure();
    ASSERT_EQ(b.host.messages.size(), 3u);
    for (const auto& m : b.host.messages)
        EXPECT_EQ(m.text, "Busy Receiving Data!");
    ASSERT_TRUE(b.RunToIdle());
    EXPECT_EQ(b.NewLines(), (std::vector<std::string>{"FPGA Configured!", kUploadDone}));
}

TEST(FpgaExchange, BytesLeftOnTheLineBeforeAnUploadAreThrownAway) {
    test::RawPty raw;
    Bench b(raw.Path());
    raw.Write(test::Bytes("D2 00 09 00 00 00 00 00 26 55 AA"));
    b.loop.RunUntil([&] { return false; }, 100);
    const std::string path = b.dir.Write("tiny.rbf", test::ImageBytes(10));
    b.exchange.SetImagePath(path);
    b.exchange.Upload();
    EXPECT_EQ(raw.Read(521).size(), 521u);
    EXPECT_TRUE(b.exchange.Busy()); // the stale reply did not complete the new block
    raw.Write(test::Bytes("D2 00 09 00 00 00 00 00 26"));
    ASSERT_TRUE(b.RunToIdle());
    EXPECT_EQ(b.exchange.LastOutcome(), Outcome::Done);
}

TEST(FpgaExchange, TheFolderComesFromTheSettingsAndIsStoredOnlyAtClose) {
    test::FakeLoop loop;
    test::RecordingHost host;
    MemorySettingsStore settings;
    settings.SetString("\\ConfigOrvane\\LastPath", "FPGAFile", "/images/old");
    CSerial port; // never opened: nothing here talks to the instrument
    FpgaExchange exchange(port, loop, host, settings);
    exchange.Open();
    EXPECT_EQ(exchange.ImagePath(), "*.qbf");
    EXPECT_EQ(exchange.BrowseStart(), "/images/old/*.qbf");
    exchange.OnFileChosen("/images/new/design.qbf");
    EXPECT_EQ(exchange.ImagePath(), "/images/new/design.qbf");
    EXPECT_EQ(exchange.BrowseStart(), "/images/new/*.qbf");
    std::string stored;
    ASSERT_TRUE(settings.GetString("\\ConfigOrvane\\LastPath", "FPGAFile", stored));
    EXPECT_EQ(stored, "/images/old");
    exchange.Close();
    ASSERT_TRUE(settings.GetString("\\ConfigOrvane\\LastPath", "FPGAFile", stored));
    EXPECT_EQ(stored, "/images/new");
}

} // namespace
} // namespace orvane
