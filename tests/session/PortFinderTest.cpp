#include "session/PortFinder.h"
#include "support/FakeLoop.h"
#include "support/PtyFixture.h"
#include "support/ScriptedHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace orvane {
namespace {

// Lists exactly the ports the test gives it.
struct ListedPorts : PortEnumerator {
    std::vector<SSerInfo> Enumerate(std::string&) override { return ports; }
    std::vector<SSerInfo> ports;
};

class Finder {
public:
    Finder()
        : log(loop, nullptr), identity(loop), link(spectra, log, loop, host, identity),
          finder(link, ports, log, loop) {
        finder.SetFinishedWithOk([this] { closedWithOk = true; });
    }
    ~Finder() { link.Port().ClosePort(); }

    void AddInstrument(std::uint16_t serial, const std::string& name) {
        SimulatorOptions options;
        options.serialNumber = serial;
        lines.push_back(std::make_unique<test::SimulatedLine>(loop, options));
        ports.ports.push_back(
            {lines.back()->Path(), name, "Orvane Simulated Instrument (" + name + ")", false, ""});
    }
    // Runs the search to its end: fake time in small steps, with real time for the replies to arrive.
    void Run() {
        finder.Open();
        finder.FirstPaint();
        for (int i = 0; i < 2000 && finder.Searching(); ++i) {
            loop.Advance(100);
            link.OnLinkTimer();
            loop.RunFor(1);
        }
        ASSERT_FALSE(finder.Searching());
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> m;
        for (std::size_t i = 1; i < log.Lines().size(); ++i)
            m.push_back(log.Lines()[i].text.substr(OutputLog::Prefix({}).size()));
        return m;
    }

    test::FakeLoop loop;
    OutputLog log;
    test::ScriptedHost host;
    Spectra spectra;
    DeviceIdentity identity;
    DeviceLink link;
    ListedPorts ports;
    PortFinder finder;
    std::vector<std::unique_ptr<test::SimulatedLine>> lines;
    bool closedWithOk = false;
};

TEST(PortFinder, OneInstrumentAnsweringAtBothSpeedsIsFoundOnceAndChosen) {
    Finder f;
    f.AddInstrument(4711, "SIM0");
    f.Run();
    ASSERT_EQ(f.finder.Found(),
              std::vector<std::string>{"Orvane Simulated Instrument (SIM0)(FAST)->SN: 04711"});
    EXPECT_TRUE(f.closedWithOk);
    EXPECT_EQ(f.finder.ChosenDevicePath(), f.lines[0]->Path());
    EXPECT_EQ(f.finder.ChosenBaud(), 921600u);
    EXPECT_EQ(f.Messages(),
              (std::vector<std::string>{"Find Timer Started", "Searching...", "Trying: SIM0",
                                        "Found: SIM0(FAST)->SN: 04711", "Searching...", "Trying: SIM0",
                                        "Found: SIM0(NORMAL)->SN: 04711", "Find Timer Stopped"}));
    EXPECT_FALSE(f.link.LinkOpen());
    EXPECT_FALSE(f.link.Port().IsOpen());
}

TEST(PortFinder, TwoInstrumentsWaitForTheUsersChoice) {
    Finder f;
    f.AddInstrument(1, "SIM0");
    f.AddInstrument(2, "SIM1");
    f.Run();
    EXPECT_EQ(f.finder.Found().size(), 2u);
    EXPECT_FALSE(f.closedWithOk);
    EXPECT_EQ(f.finder.Selected(), 0);
    EXPECT_EQ(f.finder.Message(), "Found multiple Orvane devices... Please, select port and press OK.");
    f.finder.Select(1);
    f.finder.Accept();
    EXPECT_EQ(f.finder.ChosenDevicePath(), f.lines[1]->Path());
}

TEST(PortFinder, NoPortsOrOnlyDeadOnesFindNothing) {
    Finder none;
    none.Run();
    EXPECT_EQ(none.finder.Message(),
              "No Orvane devices were found... Please, reconnect the device and press FIND.");
    EXPECT_FALSE(none.finder.OkEnabled());
    EXPECT_EQ(none.Messages(), (std::vector<std::string>{"Find Timer Started", "Find Timer Stopped"}));

    Finder dead;
    dead.ports.ports.push_back({"/nonexistent/tty", "GONE", "Gone Port (GONE)", false, ""});
    SimulatorOptions silent;
    silent.silentAfter = 0;
    dead.lines.push_back(std::make_unique<test::SimulatedLine>(dead.loop, silent));
    dead.ports.ports.push_back({dead.lines.back()->Path(), "MUTE", "Mute (MUTE)", false, ""});
    dead.Run();
    EXPECT_EQ(dead.finder.FoundCount(), -1);
    const auto m = dead.Messages();
    EXPECT_EQ(std::count(m.begin(), m.end(), "Unable to open: GONE"), 2);
    EXPECT_EQ(std::count(m.begin(), m.end(), "Trying: MUTE"), 2);
    // The silent port never led to a release or a time-out line.
    EXPECT_EQ(std::count(m.begin(), m.end(), "Communication Time Out- Timer"), 0);
}

} // namespace
} // namespace orvane
