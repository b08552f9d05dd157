#include "shell/ShellCommands.h"
#include "support/SimulatedSession.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(CommandRules, HardwareCommandsFollowTheShownRecordAndTheLink) {
    struct Case {
        SessionView view;
        bool connect, disconnect, port, start, stop, erase, panelStart, panelStop, timeStamp;
    } cases[] = {
        // file spectrum shown: every hardware command off, the panel's own buttons still follow the link
        {{false, true, false, false}, false, false, false, false, false, false, true, false, true},
        {{false, false, false, false}, false, false, false, false, false, false, false, false, true},
        {{true, false, false, false}, true, false, true, false, false, true, false, false, true},
        {{true, true, false, false}, false, true, true, true, false, true, true, false, true},
        {{true, true, false, true}, false, true, true, false, true, true, false, true, false},
        {{true, true, true, true}, false, true, true, false, false, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.view.bufferActive << c.view.linkOpen << c.view.loggerRunning
                                        << c.view.deviceRunning);
        EXPECT_EQ(CommandEnabled(Command::Connect, c.view), c.connect);
        EXPECT_EQ(CommandEnabled(Command::AutoConnect, c.view), c.connect);
        EXPECT_EQ(CommandEnabled(Command::Disconnect, c.view), c.disconnect);
        EXPECT_EQ(CommandEnabled(Command::Port, c.view), c.port);
        EXPECT_EQ(CommandEnabled(Command::Start, c.view), c.start);
        EXPECT_EQ(CommandEnabled(Command::Stop, c.view), c.stop);
        EXPECT_EQ(CommandEnabled(Command::Erase, c.view), c.erase);
        EXPECT_EQ(CommandEnabled(Command::PanelStart, c.view), c.panelStart);
        EXPECT_EQ(CommandEnabled(Command::PanelStop, c.view), c.panelStop);
        EXPECT_EQ(CommandEnabled(Command::PanelTimeStamp, c.view), c.timeStamp);
    }
}

// The commands of a whole session; no instrument needs to answer here.
struct Shell : test::SimulatedSession {
    Spectra& spectra = session.spectra;
    DeviceLink& link = session.link;
    AcquisitionPanel& acquisition = session.acquisition;
    ShellCommands& commands = session.commands;
    OutputLog& log = session.log;
};

TEST(ShellCommands, CopyRegistersFileToBufferNeedsAnInstrument) {
    Shell s;
    s.spectra.file.Image().Set(30, 999);
    s.commands.CopyRegistersFileToBuffer();
    ASSERT_EQ(s.host.boxes.size(), 1u);
    EXPECT_EQ(s.host.boxes[0].caption, "Info");
    EXPECT_EQ(s.host.boxes[0].text,
              "The transfer was aborted!\nPlease, connect the hardware\nand execute the transfer again.");
    EXPECT_EQ(s.spectra.buffer.Image().Get(30), 0);
    s.spectra.buffer.Image().Set(31, 77);
    s.spectra.file.SetShown(true);
    s.commands.CopyRegistersBufferToFile();
    EXPECT_EQ(s.spectra.file.Image().Get(31), 77);
}

TEST(ShellCommands, SoftSize780WithHardSize512Selects512) {
    Shell s;
    s.spectra.buffer.SetShown(true);
    s.acquisition.hardSize = 512;
    s.commands.ChooseSoftSize(8); // "780"
    EXPECT_EQ(s.acquisition.softSize, 512);
    EXPECT_EQ(s.commands.CheckedSoftSize(), 9);
}

TEST(ShellCommands, PortSettingsAreLoggedAndUsed) {
    Shell s;
    ComPortSettings settings;
    settings.Open({{"/dev/ttyUSB3", "ttyUSB3", "FT232R USB UART (ttyUSB3)", true, ""}}, 0);
    settings.ChooseSpeed(ComPortSettings::kNormal);
    settings.Accept();
    s.commands.AcceptPortSettings(settings);
    EXPECT_EQ(s.commands.IoSpeed(), 1);
    EXPECT_EQ(s.link.Baud(), 460800u);
    EXPECT_EQ(s.link.PortName(), "ttyUSB3");
    EXPECT_EQ(s.log.Lines().back().text.substr(OutputLog::Prefix({}).size()),
              "Set port: /dev/ttyUSB3; NORMAL SPEED");
}

TEST(ShellCommands, PlatformMenuChecksFollowTheActiveRecord) {
    Shell s;
    s.commands.ChoosePlatform(PlatformCommand::Dravon);
    EXPECT_TRUE(s.commands.PlatformChecked(PlatformCommand::Dravon));
    EXPECT_FALSE(s.commands.PlatformChecked(PlatformCommand::Auto));
    s.commands.ChoosePlatform(PlatformCommand::Auto);
    EXPECT_TRUE(s.commands.PlatformChecked(PlatformCommand::Auto));
}

} // namespace
} // namespace orvane
