#include "cli/OrvaneCli.h"
#include "shell/SystemClock.h"
#include "support/ChronyServer.h"
#include "support/FakeLoop.h"
#include "support/SntpResponder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace orvane {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(OrvaneNtp, PrintsTheReportLinesOfTheExchange) {
    test::FakeLoop clock; // 09/12/2026 14:03:27.000, standing still
    test::SntpResponder server(test::SntpResponder::Mode::Offset, -2.25);
    std::ostringstream out, err;
    ASSERT_EQ(OrvaneMain({"ntp", "127.0.0.1", "--ntp-port", std::to_string(server.Port())}, clock, out, err),
              0)
        << err.str();
    EXPECT_EQ(LinesOf(out.str()), (std::vector<std::string>{
                                      "UTC Succesfully Retreived from: 127.0.0.1",
                                      "This SYSTEM Originate Timestamp: 09/12/2026  14:03:27.000",
                                      "NTP Server Receive Timestamp:     09/12/2026  14:03:24.750",
                                      "NTP Server Transmit Timestamp:    09/12/2026  14:03:24.750",
                                      "This SYSTEM Destination Timestamp: 09/12/2026  14:03:27.000",
                                      "SYSTEM-NTP-SYSTEM Delay: 0.000000 seconds",
                                      "SYSTEM/LOCAL Clock Offset: -2.250000 seconds",
                                  }));
    EXPECT_TRUE(err.str().empty());
}

TEST(OrvaneNtp, AgreesWithARealServerOnThisMachine) {
    test::ChronyServer chrony;
    if (!chrony.Installed())
        GTEST_SKIP() << chrony.Why();
    ASSERT_TRUE(chrony.Running()) << chrony.Why();
    std::ostringstream out, err;
    ASSERT_EQ(OrvaneMain({"ntp", chrony.Address(), "--timeout", "2000"}, SystemClock::Instance(), out, err),
              0)
        << err.str();
    const auto lines = LinesOf(out.str());
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "UTC Succesfully Retreived from: " + chrony.Address());
    const std::string prefix = "SYSTEM/LOCAL Clock Offset: ";
    ASSERT_EQ(lines[6].rfind(prefix, 0), 0u);
    EXPECT_NEAR(std::atof(lines[6].c_str() + prefix.size()), 0.0, 0.05);
}

TEST(OrvaneNtp, ASilentServerFailsWithTheTimeOutOnStderr) {
    test::SntpResponder silent(test::SntpResponder::Mode::Silent);
    std::ostringstream out, err;
    EXPECT_EQ(OrvaneMain({"ntp", silent.Address(), "--timeout", "50"}, SystemClock::Instance(), out, err), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("Failed to retreive time from: " + silent.Address()), std::string::npos);
    EXPECT_NE(err.str().find("10060"), std::string::npos) << err.str();
}

TEST(OrvaneNtp, BadArgumentsExit2) {
    const std::vector<std::vector<std::string>> cases{
        {"ntp"},
        {"ntp", "a", "b"},
        {"ntp", "127.0.0.1", "--ntp-port"},
        {"ntp", "127.0.0.1", "--ntp-port", "0"},
        {"ntp", "127.0.0.1", "--ntp-port", "65536"},
        {"ntp", "127.0.0.1", "--timeout", "0"},
        {"ntp", "127.0.0.1", "--timeout", "5s"},
        {"ntp", "127.0.0.1:99999"},
        {"ntp", "127.0.0.1", "--bogus"},
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(OrvaneMain(args, SystemClock::Instance(), out, err), 2) << args.back();
        EXPECT_NE(err.str().find("Usage: orvane ntp"), std::string::npos) << args.back();
    }
    std::ostringstream out, err;
    EXPECT_EQ(OrvaneMain({"help"}, SystemClock::Instance(), out, err), 0);
    EXPECT_NE(out.str().find("ntp SERVER"), std::string::npos);
}

} // namespace
} // namespace orvane
