#include "cli/OrvaneCli.h"
#include "shell/SystemClock.h"
#include "support/PtyFixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvane {
namespace {

TEST(OrvaneRegs, PrintsRegisters1To127FromTheInstrument) {
    test::SimulatedLine line(SystemClock::Instance());
    line.Simulator().Instrument().SetRegister(127, 0xABCD);
    std::ostringstream out, err;
    ASSERT_EQ(
        OrvaneMain({"regs", "--port", line.Path(), "--speed", "normal"}, SystemClock::Instance(), out, err),
        0)
        << err.str();
    std::istringstream lines(out.str());
    std::vector<std::string> all;
    for (std::string l; std::getline(lines, l);)
        all.push_back(l);
    ASSERT_EQ(all.size(), 127u);
    EXPECT_EQ(all[0], "  1 0x1F40  8000");
    EXPECT_EQ(all[126], "127 0xABCD 43981");
}

TEST(OrvaneRegs, BadArgumentsExit2AndAMissingPortExits1) {
    std::ostringstream out, err;
    EXPECT_EQ(OrvaneMain({"regs"}, SystemClock::Instance(), out, err), 2);
    EXPECT_EQ(
        OrvaneMain({"regs", "--port", "/dev/null", "--speed", "slow"}, SystemClock::Instance(), out, err), 2);
    EXPECT_EQ(OrvaneMain({"frobnicate"}, SystemClock::Instance(), out, err), 2);
    err.str("");
    EXPECT_EQ(OrvaneMain({"regs", "--port", "/nonexistent/tty"}, SystemClock::Instance(), out, err), 1);
    EXPECT_NE(err.str().find("Unable to open COM-port"), std::string::npos);
}

TEST(OrvaneRegs, AnInstrumentThatLeavesPrintsTheLogAndFails) {
    SimulatorOptions options;
    options.unplugAfter = 0;
    test::SimulatedLine line(SystemClock::Instance(), options);
    std::ostringstream out, err;
    // The line is gone before the first frame could be answered.
    EXPECT_EQ(OrvaneMain({"regs", "--port", line.Path()}, SystemClock::Instance(), out, err), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("the line hung up"), std::string::npos) << err.str();
}

} // namespace
} // namespace orvane

namespace orvane {
namespace {

TEST(OrvaneWriteReg, SetsTheWordAndWritesAllRegisters) {
    test::SimulatedLine line(SystemClock::Instance());
    std::ostringstream out, err;
    ASSERT_EQ(
        OrvaneMain({"write-reg", "--port", line.Path(), "30", "0x1F4"}, SystemClock::Instance(), out, err), 0)
        << err.str();
    EXPECT_EQ(out.str(), " 30 0x01F4   500\n");
    EXPECT_EQ(line.Simulator().Instrument().Register(30), 500);
    EXPECT_EQ(line.Simulator().Instrument().Register(1), 8000); // the rest as it was read
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"write-reg", "--port", line.Path(), "128", "1"},
                                               {"write-reg", "--port", line.Path(), "3", "65536"},
                                               {"write-reg", "--port", line.Path(), "3", "-1"},
                                               {"write-reg", "--port", line.Path(), "3"}}) {
        EXPECT_EQ(OrvaneMain(bad, SystemClock::Instance(), out, err), 2);
    }
}

TEST(OrvaneFind, FindsTheSimulatedInstrumentOnTheGivenPath) {
    SimulatorOptions options;
    options.serialNumber = 321;
    test::SimulatedLine line(SystemClock::Instance(), options);
    std::ostringstream out, err;
    ASSERT_EQ(OrvaneMain({"find", line.Path()}, SystemClock::Instance(), out, err), 0) << err.str();
    const std::string name = line.Path().substr(line.Path().find_last_of('/') + 1);
    EXPECT_EQ(out.str(), name + " (" + name + ")(FAST)->SN: 00321\t" + line.Path() + "\n");
}

} // namespace
} // namespace orvane
