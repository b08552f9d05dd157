#include "device/PortNames.h"
#include "device/ComPortSettings.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(PortNames, NameAndPathFromListTexts) {
    const std::vector<SSerInfo> ports = {
        {"/dev/pts/7", "SIM0", "Orvane Simulated Instrument (SIM0)", false, ""},
        {"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART (ttyUSB0)", true, ""}};
    struct Case {
        const char* text;
        const char* name;
        const char* path;
    } cases[] = {
        {"FT232R USB UART (ttyUSB0)", "ttyUSB0", "/dev/ttyUSB0"},
        {"Orvane Simulated Instrument (SIM0)(FAST)->SN: 04711", "SIM0", "/dev/pts/7"},
        {"Orvane Simulated Instrument (SIM0)(NORMAL)->SN: 00042", "SIM0", "/dev/pts/7"},
        {"ttyACM3", "ttyACM3", "/dev/ttyACM3"},           // no parentheses: the whole text
        {"Odd (a) thing (ttyS4)", "ttyS4", "/dev/ttyS4"}, // the last parentheses
        {"", "", "/dev/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(PortNameFromText(c.text), c.name);
        EXPECT_EQ(DevicePathFromText(c.text, ports), c.path);
    }
}

TEST(PortNames, MissingNamesAreCompleted) {
    std::vector<SSerInfo> ports = {{"/dev/ttyACM0", "ttyACM0", "", true, ""},
                                   {"/dev/ttyUSB1", "ttyUSB1", "USB Serial Port (ttyUSB1)", true, ""},
                                   {"/dev/x", "x", "A (b) c", false, ""}};
    CompletePortNames(ports);
    EXPECT_EQ(ports[0].friendlyName, "ttyACM0");
    EXPECT_EQ(ports[0].description, "ttyACM0");
    EXPECT_EQ(ports[1].description, "USB Serial Port");
    EXPECT_EQ(ports[2].description, "A (b) c"); // the ")" is not the last character
}

TEST(ComPortSettings, NormalSpeedHandsBack460800AndIndex1) {
    ComPortSettings settings;
    settings.Open({{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART (ttyUSB0)", true, "FT232R USB UART"}}, 7);
    EXPECT_EQ(settings.Speed(), 1); // clamped
    settings.ChooseSpeed(ComPortSettings::kFast);
    settings.ChooseSpeed(ComPortSettings::kNormal);
    settings.ChoosePort(0);
    settings.Accept();
    EXPECT_EQ(settings.BaudText(), "460800");
    EXPECT_EQ(settings.BaudIndex(), 1);
    EXPECT_EQ(settings.DevicePath(), "/dev/ttyUSB0");
    EXPECT_EQ(settings.SetPortLine(), "Set port: /dev/ttyUSB0; NORMAL SPEED");
    EXPECT_EQ(settings.handshakeIndex, 1);
}

} // namespace
} // namespace orvane
