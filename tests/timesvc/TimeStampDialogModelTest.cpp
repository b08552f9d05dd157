#include "timesvc/TimeStampDialogModel.h"

#include "support/FakeLoop.h"
#include "support/SntpResponder.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

class FakeClockSetter : public SystemClockSetter {
public:
    bool SetUtc(std::int64_t utcMs) override {
        calls.push_back(utcMs);
        return succeeds;
    }
    std::vector<std::int64_t> calls;
    bool succeeds = true;
};

const std::string kDashes76(76, '-');
const std::string kDashes54(54, '-');

class TimeStampDialog : public ::testing::Test {
protected:
    TimeStampDialog() { model.Open(); }

    // A successful query as the worker would hand it over: sent at the fake clock's now, the server
    // ahead by offset.
    SntpOutcome Success(double offset) const {
        SntpOutcome outcome;
        outcome.server = "ntp.example";
        outcome.ok = true;
        const NtpTimestamp now = NtpTimestamp::Now(loop);
        outcome.response.originateTime = now;
        outcome.response.receiveTime = now.Plus(offset);
        outcome.response.transmitTime = now.Plus(offset + 0.001);
        outcome.response.destinationTime = now.Plus(0.003);
        outcome.response.roundTripDelay = 0.002;
        outcome.response.localClockOffset = offset;
        return outcome;
    }
    std::vector<std::string> Lines() const { return {model.Lines().begin(), model.Lines().end()}; }

    test::FakeLoop loop;
    TimeSourceState state{loop};
    FakeClockSetter setter;
    TimeStampDialogModel model{loop, loop, state, setter};
};

TEST_F(TimeStampDialog, OpensOnTheFirstServerWithUtcAndSynchronisingDisabled) {
    EXPECT_EQ(model.serverText, TimeStampDialogModel::PresetServers().front());
    EXPECT_EQ(TimeStampDialogModel::PresetServers().size(), 2u);
    EXPECT_FALSE(model.UseUtcEnabled());
    EXPECT_FALSE(model.SynchronizeEnabled());
    EXPECT_FALSE(model.UseUtc());
    model.Synchronize();
    EXPECT_TRUE(setter.calls.empty());
    EXPECT_TRUE(model.Lines().empty());
    EXPECT_TRUE(state.AskBeforeStart()) << "nothing was chosen";
}

TEST_F(TimeStampDialog, ASuccessfulQueryReportsTheExchangeAndEnablesUtc) {
    model.ApplyOutcome(Success(1.5));
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "UTC Succesfully Retreived from: ntp.example",
                           "This SYSTEM Originate Timestamp: 09/12/2026  14:03:27.000",
                           "NTP Server Receive Timestamp:     09/12/2026  14:03:28.500",
                           "NTP Server Transmit Timestamp:    09/12/2026  14:03:28.501",
                           "This SYSTEM Destination Timestamp: 09/12/2026  14:03:27.003",
                           "SYSTEM-NTP-SYSTEM Delay: 0.002000 seconds",
                           "SYSTEM/LOCAL Clock Offset: 1.500000 seconds",
                           kDashes76,
                       }));
    EXPECT_TRUE(model.UseUtcEnabled());
    EXPECT_TRUE(model.SynchronizeEnabled());
    ASSERT_TRUE(model.UseUtc());
    EXPECT_EQ(state.Source(), TimeSource::Utc);
    EXPECT_EQ(state.Correction(), 1.5);
    EXPECT_FALSE(state.AskBeforeStart());
}

TEST_F(TimeStampDialog, AFailedQueryDisablesUtcAgain) {
    model.ApplyOutcome(Success(1.5));
    SntpOutcome failed;
    failed.server = "ntp.example";
    failed.error = CSNTPClient::kErrorTimedOut;
    model.ApplyOutcome(failed);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[8], "Failed to retreive time from: ntp.example");
    EXPECT_EQ(lines[9], kDashes76);
    EXPECT_FALSE(model.UseUtcEnabled());
    EXPECT_FALSE(model.SynchronizeEnabled());
    EXPECT_FALSE(model.UseUtc());
    EXPECT_EQ(state.Source(), TimeSource::System);
}

TEST_F(TimeStampDialog, SynchronisingSetsTheClockOnceWithinAnHour) {
    model.ApplyOutcome(Success(1.5));
    model.Synchronize();
    ASSERT_EQ(setter.calls.size(), 1u);
    EXPECT_EQ(setter.calls[0], loop.UtcMs() + 1500);
    auto lines = Lines();
    EXPECT_EQ(lines[lines.size() - 2], "System time successfully synchronised");
    EXPECT_EQ(lines.back(), kDashes54);
    // The clock now keeps the server's time: a second press and "Use UTC" must not add the offset again.
    model.Synchronize();
    EXPECT_EQ(setter.calls[1], loop.UtcMs());
    ASSERT_TRUE(model.UseUtc());
    EXPECT_EQ(state.Correction(), 0.0);
}

TEST_F(TimeStampDialog, AnHourOrMoreOrARefusedClockIsReported) {
    model.ApplyOutcome(Success(-3600.0));
    model.Synchronize();
    EXPECT_TRUE(setter.calls.empty());
    auto lines = Lines();
    EXPECT_EQ(lines[lines.size() - 2], "Can not synchronize: time difference > 1 hour");
    EXPECT_EQ(lines.back(), kDashes54);

    model.ApplyOutcome(Success(3599.5));
    setter.succeeds = false; // no CAP_SYS_TIME
    model.Synchronize();
    ASSERT_EQ(setter.calls.size(), 1u);
    lines = Lines();
    EXPECT_EQ(lines[lines.size() - 2], "Failed to set the system time");
    EXPECT_EQ(model.MeasuredOffset(), 3599.5) << "nothing was applied";
    ASSERT_TRUE(model.UseUtc()) << "UTC may still be chosen";
    EXPECT_EQ(state.Correction(), 3599.5);
}

TEST_F(TimeStampDialog, LocalAndSystemChoicesCarryNoCorrection) {
    model.ApplyOutcome(Success(1.5));
    model.UseLocal();
    EXPECT_EQ(state.Source(), TimeSource::Local);
    EXPECT_EQ(state.Correction(), 0.0);
    EXPECT_FALSE(state.AskBeforeStart());
    state.RequireChoice();
    model.UseSystem(); // also Escape and closing the window
    EXPECT_EQ(state.Source(), TimeSource::System);
    EXPECT_STREQ(state.Caption(), "START TIME: SYSTEM");
    EXPECT_FALSE(state.AskBeforeStart());
}

TEST_F(TimeStampDialog, TheReportKeepsTheNewest80Lines) {
    SntpOutcome failed;
    for (int i = 0; i < 41; ++i) {
        failed.server = "s" + std::to_string(i);
        model.ApplyOutcome(failed);
    }
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 80u);
    EXPECT_EQ(lines.front(), "Failed to retreive time from: s1") << "the oldest two lines have gone";
    EXPECT_EQ(lines[78], "Failed to retreive time from: s40");
    EXPECT_EQ(model.Report().Extent(), 8 * 76 + 8) << "the dashes are the longest line";
    EXPECT_EQ(model.Report().TopLine(), 70u);
}

TEST_F(TimeStampDialog, GetUtcAsksTheServerWithoutBlockingAndReportsOnTheBehaviourThread) {
    test::SntpResponder server(test::SntpResponder::Mode::Offset, -2.25);
    int changes = 0;
    model.onChanged = [&] { ++changes; };
    model.serverText = server.Address();
    model.ApplyOutcome(Success(1.0));
    model.GetUtc();
    EXPECT_TRUE(model.QueryRunning());
    EXPECT_FALSE(model.GetUtcEnabled());
    EXPECT_FALSE(model.UseUtcEnabled()) << "the old result is being replaced";
    EXPECT_FALSE(model.SynchronizeEnabled());
    ASSERT_TRUE(loop.RunUntil([&] { return !model.QueryRunning(); }));
    EXPECT_EQ(changes, 3);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[8], "UTC Succesfully Retreived from: " + server.Address());
    EXPECT_EQ(lines[14], "SYSTEM/LOCAL Clock Offset: -2.250000 seconds");
    EXPECT_TRUE(model.UseUtcEnabled());

    // A choice while a query waits ends it; its report never arrives.
    test::SntpResponder silent(test::SntpResponder::Mode::Silent);
    model.serverText = silent.Address();
    model.GetUtc();
    ASSERT_TRUE(loop.RunUntil([&] { return silent.Requests() == 1; }));
    model.UseSystem();
    EXPECT_FALSE(model.QueryRunning());
    loop.RunPending();
    EXPECT_EQ(Lines().size(), 16u);
}

} // namespace
} // namespace orvane
