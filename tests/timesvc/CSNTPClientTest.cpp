#include "timesvc/CSNTPClient.h"

#include "shell/SystemClock.h"
#include "support/ChronyServer.h"
#include "support/FakeLoop.h"
#include "support/SntpResponder.h"
#include "timesvc/SntpQueryWorker.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>

namespace orvane {
namespace {

TEST(CSNTPClient, MeasuresAZeroOffsetAgainstARealServer) {
    test::ChronyServer chrony;
    if (!chrony.Installed())
        GTEST_SKIP() << chrony.Why();
    ASSERT_TRUE(chrony.Running()) << chrony.Why();
    CSNTPClient client(SystemClock::Instance());
    client.SetPort(chrony.Port());
    NtpServerResponse response;
    // The port as a parameter, and as the server text's ":PORT".
    ASSERT_TRUE(client.Query("127.0.0.1", response)) << client.LastErrorText();
    ASSERT_TRUE(client.Query(chrony.Address(), response)) << client.LastErrorText();
    EXPECT_NEAR(response.localClockOffset, 0.0, 0.05);
    EXPECT_GE(response.roundTripDelay, -0.002); // millisecond stamps on both sides
    EXPECT_LT(response.roundTripDelay, 0.5);
    EXPECT_EQ(response.stratum, 8);
    EXPECT_FALSE(response.transmitTime.IsZero());
}

TEST(CSNTPClient, OffsetAndDelayFollowTheFourTimestamps) {
    // The responder's time is the request's plus the offset, and the fake clock stands still, so the
    // offset comes out exact and the delay is 0, also for a server behind us.
    test::FakeLoop clock;
    for (const double offset : {1.5, -2.25, -3600.0}) {
        test::SntpResponder server(test::SntpResponder::Mode::Offset, offset);
        CSNTPClient client(clock);
        NtpServerResponse response;
        ASSERT_TRUE(client.Query("localhost:" + std::to_string(server.Port()), response))
            << client.LastErrorText();
        EXPECT_NEAR(response.localClockOffset, offset, 1e-9);
        EXPECT_NEAR(response.roundTripDelay, 0.0, 1e-9);
        EXPECT_EQ(response.originateTime, NtpTimestamp::Now(clock));
        EXPECT_EQ(response.destinationTime, NtpTimestamp::Now(clock));
        EXPECT_EQ(response.stratum, 2);
    }
}

TEST(CSNTPClient, ASilentServerTimesOutWith10060) {
    test::SntpResponder silent(test::SntpResponder::Mode::Silent);
    CSNTPClient client(SystemClock::Instance());
    client.SetTimeout(50);
    NtpServerResponse response;
    EXPECT_FALSE(client.Query(silent.Address(), response));
    EXPECT_EQ(client.LastError(), CSNTPClient::kErrorTimedOut);
    EXPECT_EQ(silent.Requests(), 1);
}

TEST(CSNTPClient, RejectsRepliesThatDoNotAnswerOurRequest) {
    const struct {
        test::SntpResponder::Mode mode;
        const char* why;
    } cases[] = {{test::SntpResponder::Mode::Short, "under 48"},
                 {test::SntpResponder::Mode::ForeignOriginate, "originate"},
                 {test::SntpResponder::Mode::ZeroTransmit, "transmit"}};
    test::FakeLoop clock;
    for (const auto& c : cases) {
        test::SntpResponder server(c.mode, 1.0);
        CSNTPClient client(clock);
        NtpServerResponse response;
        response.stratum = 99;
        EXPECT_FALSE(client.Query(server.Address(), response)) << c.why;
        EXPECT_EQ(client.LastError(), EBADMSG) << c.why;
        EXPECT_NE(client.LastErrorText().find(c.why), std::string::npos) << client.LastErrorText();
        EXPECT_EQ(response.stratum, 99) << "a rejected reply leaves the record alone";
    }
}

TEST(CSNTPClient, RefusedPortsAndBadServerTextsFailAtOnce) {
    CSNTPClient client(SystemClock::Instance());
    client.SetTimeout(30000); // a refusal must not wait for the time-out
    NtpServerResponse response;
    EXPECT_FALSE(client.Query("127.0.0.1:" + std::to_string(test::UnusedUdpPort()), response));
    EXPECT_EQ(client.LastError(), ECONNREFUSED);
    for (const char* text :
         {"", "  ", "127.0.0.1:", "127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:12x", ":123"}) {
        EXPECT_FALSE(client.Query(text, response)) << text;
        EXPECT_EQ(client.LastError(), EINVAL) << text;
    }
}

TEST(CSNTPClient, SplitServerTakesAnOptionalPort) {
    const struct {
        const char* text;
        bool ok;
        const char* host;
        int port;
    } cases[] = {{"pool.ntp.org", true, "pool.ntp.org", 123},
                 {" 127.0.0.1:4123 ", true, "127.0.0.1", 4123},
                 {"host:65535", true, "host", 65535},
                 {"host:0", false, "host", 0},
                 {"host:-1", false, "host", 123}};
    for (const auto& c : cases) {
        std::string host;
        int port = 0;
        EXPECT_EQ(CSNTPClient::SplitServer(c.text, 123, host, port), c.ok) << c.text;
        EXPECT_EQ(host, c.host) << c.text;
        if (c.ok) {
            EXPECT_EQ(port, c.port) << c.text;
        }
    }
}

TEST(SntpQueryWorker, HandsTheOutcomeBackOnTheBehaviourThread) {
    test::FakeLoop loop;
    test::SntpResponder server(test::SntpResponder::Mode::Offset, 0.5);
    SntpQueryWorker worker(loop, loop);
    int calls = 0;
    SntpOutcome seen;
    ASSERT_TRUE(worker.Start(server.Address(), 123, 5000, [&](const SntpOutcome& outcome) {
        ++calls;
        seen = outcome;
    }));
    EXPECT_TRUE(worker.Running());
    EXPECT_FALSE(worker.Start(server.Address(), 123, 5000, nullptr)) << "one query at a time";
    ASSERT_TRUE(loop.RunUntil([&] { return calls > 0; }));
    EXPECT_FALSE(worker.Running());
    EXPECT_TRUE(seen.ok) << seen.errorText;
    EXPECT_EQ(seen.server, server.Address());
    EXPECT_NEAR(seen.response.localClockOffset, 0.5, 1e-9);

    // The next query may start from inside the callback's aftermath.
    ASSERT_TRUE(worker.Start("127.0.0.1", server.Port(), 5000, [&](const SntpOutcome&) { ++calls; }));
    ASSERT_TRUE(loop.RunUntil([&] { return calls > 1; }));
}

TEST(SntpQueryWorker, CancelEndsAWaitingQueryWithoutItsCallback) {
    test::FakeLoop loop;
    test::SntpResponder silent(test::SntpResponder::Mode::Silent);
    bool called = false;
    {
        SntpQueryWorker worker(loop, loop);
        ASSERT_TRUE(worker.Start(silent.Address(), 123, 60000, [&](const SntpOutcome&) { called = true; }));
        ASSERT_TRUE(loop.RunUntil([&] { return silent.Requests() == 1; }));
        worker.Cancel(); // would take a minute if the wait were not ended
        EXPECT_FALSE(worker.Running());
        ASSERT_TRUE(worker.Start(silent.Address(), 123, 60000, [&](const SntpOutcome&) { called = true; }));
    } // the destructor cancels too
    loop.RunPending();
    EXPECT_FALSE(called);
}

} // namespace
} // namespace orvane
