#include "device/CSerialMFC.h"
#include "device/CallbackSerialWindow.h"
#include "device/TermiosLineFormat.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <sys/wait.h>
#include <unistd.h>

namespace orvane {
namespace {

using namespace serial;
using test::FakeLoop;
using test::RawPty;

TEST(CSerial, OpeningTwiceReturns1247AndKeepsTheFirstOpening) {
    RawPty pty;
    CSerial port;
    ASSERT_EQ(port.OpenPort(pty.Path()), kSuccess);
    EXPECT_EQ(port.OpenPort(pty.Path()), kAlreadyOpen);
    EXPECT_EQ(port.GetLastError(), kAlreadyOpen);
    EXPECT_TRUE(port.IsOpen());
    std::size_t written = 0;
    EXPECT_EQ(port.WriteText("ok", &written), kSuccess);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(pty.Read(2), test::Bytes("6F 6B"));
}

TEST(CSerial, ASecondOpenerOfTheSameDeviceIsRefusedHereAndInAnotherProcess) {
    RawPty pty;
    CSerial first;
    ASSERT_EQ(first.OpenPort(pty.Path()), kSuccess);
    CSerial second;
    EXPECT_EQ(second.OpenPort(pty.Path()), EBUSY);
    EXPECT_FALSE(second.IsOpen());

    const pid_t child = fork();
    if (child == 0) {
        CSerial other;
        _exit(other.OpenPort(pty.Path()) == EBUSY ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Once the first closes, the device is free again.
    first.ClosePort();
    EXPECT_EQ(second.OpenPort(pty.Path()), kSuccess);
}

TEST(CSerial, OperationsOnAClosedPortReturn6) {
    CSerial port;
    std::uint8_t byte = 0;
    EXPECT_EQ(port.ReadBytes(&byte, 1), kNotOpen);
    EXPECT_EQ(port.WriteBytes(&byte, 1), kNotOpen);
    EXPECT_EQ(port.SetLineFormat(921600, 8, 0, 0), kNotOpen);
    EXPECT_EQ(port.SetEventMask(1), kNotOpen);
    EXPECT_EQ(port.Purge(), kNotOpen);
    EXPECT_EQ(port.QueryBaudRate(), 0u);
    EXPECT_EQ(port.GetLastError(), kNotOpen);
    EXPECT_EQ(port.ClosePort(), kSuccess);
    port.Break(); // nothing happens
}

TEST(TermiosLineFormat, EveryFormatReadsBackAndBadValuesChangeNothing) {
    struct Case {
        std::uint32_t baud;
        int dataBits, parity, stopBits;
    } cases[] = {
        {921600, 8, kParityNone, kStopOne},      {460800, 7, kParityOdd, kStopTwo},
        {9600, 6, kParityEven, kStopOne},        {115200, 8, kParityMark, kStopTwo},
        {300, 5, kParitySpace, kStopOneAndHalf},
    };
    for (const Case& c : cases) {
        termios tio{};
        ASSERT_EQ(termios_line::Compose(tio, c.baud, c.dataBits, c.parity, c.stopBits), kSuccess);
        EXPECT_EQ(termios_line::Baud(tio), c.baud);
        EXPECT_EQ(termios_line::DataBits(tio), c.dataBits);
        EXPECT_EQ(termios_line::Parity(tio), c.parity);
        EXPECT_EQ(termios_line::StopBits(tio), c.stopBits);
        EXPECT_EQ((tio.c_iflag & INPCK) != 0, c.parity != kParityNone);
    }
    const Case bad[] = {{12345, 8, 0, 0}, {9600, 9, 0, 0}, {9600, 4, 0, 0},
                        {9600, 8, 5, 0},  {9600, 8, 0, 1}, {9600, 8, 0, 3}};
    for (const Case& c : bad) {
        termios tio{};
        termios_line::Compose(tio, 921600, 8, kParityNone, kStopOne);
        const termios before = tio;
        EXPECT_EQ(termios_line::Compose(tio, c.baud, c.dataBits, c.parity, c.stopBits), EINVAL);
        EXPECT_EQ(std::memcmp(&before, &tio, sizeof tio), 0);
    }
}

TEST(CSerial, LineFormatOnAPseudoTerminalReadsBackWhatTheKernelKeeps) {
    RawPty pty;
    CSerial port;
    ASSERT_EQ(port.OpenPort(pty.Path()), kSuccess);
    ASSERT_EQ(port.SetLineFormat(921600, 8, kParityNone, kStopOne), kSuccess);
    EXPECT_EQ(port.QueryBaudRate(), 921600u);
    EXPECT_EQ(port.QueryDataBits(), 8);
    EXPECT_EQ(port.QueryParity(), kParityNone);
    EXPECT_EQ(port.QueryStopBits(), kStopOne);
    EXPECT_EQ(port.SetLineFormat(12345, 8, 0, 0), EINVAL);
    EXPECT_EQ(port.QueryBaudRate(), 921600u);
}

TEST(CSerial, FlowControlModesAndTheirQuery) {
    RawPty pty;
    CSerial port;
    ASSERT_EQ(port.OpenPort(pty.Path()), kSuccess);
    // Mode 3 (RTS/CTS only) reads back as 0: DTR is not in handshake mode.
    const int expected[] = {kFlowOff, kFlowHardware, kFlowSoftware, kFlowOff};
    for (int mode = 0; mode <= 3; ++mode) {
        ASSERT_EQ(port.SetFlowControl(mode), kSuccess);
        EXPECT_EQ(port.QueryFlowControl(), expected[mode]) << mode;
    }
    ASSERT_EQ(port.SetFlowControl(kFlowSoftware), kSuccess);
    EXPECT_EQ(port.SetFlowControl(4), kInvalidArgument);
    EXPECT_EQ(port.GetLastError(), kInvalidArgument);
    EXPECT_EQ(port.QueryFlowControl(), kFlowSoftware);
    EXPECT_EQ(port.SetFlowControl(-1), kInvalidArgument);
    EXPECT_EQ(port.QueryFlowControl(), kFlowSoftware);
}

TEST(CSerial, ReadModes) {
    RawPty pty;
    CSerial port;
    ASSERT_EQ(port.OpenPort(pty.Path(), 0, 0, true), kSuccess);
    std::uint8_t buffer[16];
    std::size_t read = 99;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadBytes(buffer, sizeof buffer, &read), kSuccess);
    EXPECT_EQ(read, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));

    EXPECT_EQ(port.SetReadMode(2), kInvalidArgument);
    ASSERT_EQ(port.SetReadMode(kReadBlocking), kSuccess);
    pty.Write(test::Bytes("01 02 03"));
    EXPECT_EQ(port.ReadBytes(buffer, 3, &read, nullptr, 2000), kSuccess);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(port.ReadBytes(buffer, 3, &read, nullptr, 20), kTimedOut);
    EXPECT_EQ(read, 0u);

    // Started with a record the read returns at once and is finished later.
    SerialCompletion record;
    EXPECT_EQ(port.ReadBytes(buffer, 2, &read, &record), kIoPending);
    pty.Write(test::Bytes("0A 0B"));
    EXPECT_EQ(port.GetResult(record, 2000), kSuccess);
    EXPECT_EQ(record.transferred, 2u);
    EXPECT_EQ(buffer[1], 0x0B);
}

TEST(CSerial, ASynchronousPortRefusesRecordsAndFiniteTimeouts) {
    RawPty pty;
    CSerial port;
    ASSERT_EQ(port.OpenPort(pty.Path(), 0, 0, false), kSuccess);
    std::uint8_t byte = 0;
    SerialCompletion record;
    EXPECT_EQ(port.ReadBytes(&byte, 1, nullptr, &record), kNotAsynchronous);
    EXPECT_EQ(port.WriteBytes(&byte, 1, nullptr, nullptr, 100), kNotAsynchronous);
    EXPECT_EQ(port.WaitForEvent(nullptr, 100), kNotAsynchronous);
}

TEST(CSerial, WaitForEventTimesOutThenReportsArrivingDataAndPurgeDiscardsIt) {
    RawPty pty;
    CSerial port;
    ASSERT_EQ(port.OpenPort(pty.Path(), 0, 0, true), kSuccess);
    EXPECT_EQ(port.QueryEventMask(), kEventReceived | kEventBreak | kEventLineError);
    EXPECT_EQ(port.WaitForEvent(nullptr, 30), kTimedOut);
    pty.Write(test::Bytes("55 AA"));
    EXPECT_EQ(port.WaitForEvent(nullptr, 2000), kSuccess);
    EXPECT_EQ(port.GetEventBits(), kEventReceived);
    EXPECT_EQ(port.Purge(), kSuccess);
    std::uint8_t buffer[4];
    std::size_t read = 9;
    port.ReadBytes(buffer, sizeof buffer, &read);
    EXPECT_EQ(read, 0u);
}

// The serial notifications a window receives, as they arrive on the behaviour thread.
struct Notifications {
    explicit Notifications(FakeLoop& loop)
        : window(loop, [this](std::uint32_t param) { params.push_back(param); }) {}
    std::vector<std::uint32_t> params;
    CallbackSerialWindow window;
};

TEST(CSerialWnd, DataArrivalIsReportedOnceUntilTheBehaviourThreadReads) {
    FakeLoop loop;
    RawPty pty;
    Notifications seen(loop);
    CSerialMFC port;
    ASSERT_EQ(port.OpenForWindow(pty.Path(), &seen.window), kSuccess);
    EXPECT_TRUE(port.IsListening());
    pty.Write(test::Bytes("01 02 03"));
    ASSERT_TRUE(loop.RunUntil([&] { return !seen.params.empty(); }));
    EXPECT_EQ(seen.params, std::vector<std::uint32_t>{1u});

    // Nobody reads: more bytes arrive, but the thread stays quiet.
    pty.Write(test::Bytes("04 05"));
    loop.RunFor(100);
    EXPECT_EQ(loop.PostsSeen(), 1);

    std::uint8_t buffer[8];
    std::size_t read = 0;
    port.ReadBytes(buffer, sizeof buffer, &read);
    EXPECT_EQ(read, 5u);
    pty.Write(test::Bytes("06"));
    ASSERT_TRUE(loop.RunUntil([&] { return seen.params.size() == 2; }));
}

TEST(CSerialWnd, PendingLineErrorsTravelInTheHighHalf) {
    struct InjectedErrors : LineErrorSource {
        bool Available() const override { return false; }
        std::uint32_t Sample() override { return 0; }
        std::uint32_t FetchAndClear() override { return std::exchange(pending, 0u); }
        std::uint32_t pending = kErrorFrame | kErrorOverrun;
    } errors;
    FakeLoop loop;
    RawPty pty;
    Notifications seen(loop);
    CSerialMFC port;
    port.SetLineErrorSource(&errors);
    ASSERT_EQ(port.OpenForWindow(pty.Path(), &seen.window, 0, 77), kSuccess);
    pty.Write(test::Bytes("01"));
    ASSERT_TRUE(loop.RunUntil([&] { return !seen.params.empty(); }));
    EXPECT_EQ(seen.params[0], ((kErrorFrame | kErrorOverrun) << 16) | kEventReceived);
}

TEST(CSerialWnd, ClosingEndsTheWaitAtOnceAndDropsQueuedNotifications) {
    FakeLoop loop;
    RawPty pty;
    Notifications seen(loop);
    CSerialMFC port;
    ASSERT_EQ(port.OpenForWindow(pty.Path(), &seen.window), kSuccess);
    pty.Write(test::Bytes("01"));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (loop.PostsSeen() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(loop.PostsSeen(), 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ClosePort(), kSuccess);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_FALSE(port.IsListening());
    loop.RunPending();
    EXPECT_TRUE(seen.params.empty()); // the notification belonged to the closed opening
}

TEST(CSerialWnd, TheFarSideClosingEndsTheThreadWithAnError) {
    FakeLoop loop;
    RawPty pty;
    Notifications seen(loop);
    CSerialMFC port;
    ASSERT_EQ(port.OpenForWindow(pty.Path(), &seen.window), kSuccess);
    pty.CloseFarSide();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (port.IsListening() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(port.IsListening());
    EXPECT_EQ(port.ThreadError(), EIO);
    EXPECT_EQ(port.ClosePort(), kSuccess);
}

TEST(CSerialWnd, DefaultMessageIsRegisteredOnce) {
    const std::uint32_t message = CSerialWnd::DefaultComMessage();
    EXPECT_EQ(CSerialWnd::RegisterMessage("CSerialWnd_DefaultComMsg"), message);
    EXPECT_NE(CSerialWnd::RegisterMessage("another"), message);
    EXPECT_EQ(CSerialWnd::MakeParam(0x0001, 0), 1u);
    EXPECT_EQ(CSerialWnd::MakeParam(0x0081, 0x0008), 0x00080081u);
}

} // namespace
} // namespace orvane
