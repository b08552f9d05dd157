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
