#include "session/DeviceIdentity.h"
#include "support/FakeLoop.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(DeviceIdentity, DetectionQueuesTheCommandAfterTheRefresh) {
    test::FakeLoop loop;
    DeviceIdentity identity(loop);
    CSpectrum s(true);
    identity.SetActiveSpectrumSource([&] { return &s; });
    int amplifierRefreshes = 0;
    identity.SetAmplifierHooks([] { return false; }, [&] { ++amplifierRefreshes; });
    s.SetPlatformCode(kPlatformKiramo);
    s.Image().Set(15, 0x3008);
    s.SetLastRegister18(0x0000);
    identity.Detect(s);
    EXPECT_EQ(s.SpFlag(), 1);
    EXPECT_TRUE(identity.AutoPlatform());
    EXPECT_EQ(amplifierRefreshes, 0); // not before the refresh in progress has finished
    loop.RunPending();
    EXPECT_EQ(amplifierRefreshes, 1);
    EXPECT_FALSE(identity.AutoPlatform()); // the next refresh sets it again
    EXPECT_EQ(s.AmplifierPlatform(), 32);
    EXPECT_EQ(s.LastRegister18(), 0x001F);
    EXPECT_EQ(identity.Layout().temperatureLabel, "INPUT D [V]");
    EXPECT_EQ(ModelName(s.PlatformCode(), s.SpFlag(), s.Image().Get(15)), "Kiramo-II-SP");
}

TEST(DeviceIdentity, EachRegister15FamilyPicksItsPlatform) {
    struct Case {
        std::uint16_t reg15;
        int platform;
        bool biasShown;
    } cases[] = {
        {0x0E00, kPlatformVelusk, true}, {0x1000, kPlatformKiramo, false}, {0x2000, kPlatformDravon, false}};
    for (const Case& c : cases) {
        test::FakeLoop loop;
        DeviceIdentity identity(loop);
        CSpectrum s(true);
        identity.SetActiveSpectrumSource([&] { return &s; });
        s.Image().Set(15, c.reg15);
        identity.Detect(s);
        loop.RunPending();
        EXPECT_EQ(s.PlatformCode(), c.platform);
        EXPECT_EQ(identity.Layout().biasAndCoolingShown, c.biasShown);
        EXPECT_EQ(identity.Layout().firstDigitalIoSelectorEnabled, c.platform != kPlatformVelusk);
    }
}

TEST(DeviceIdentity, AnUnknownFamilyChangesNothingAndAutoStaysChecked) {
    test::FakeLoop loop;
    DeviceIdentity identity(loop);
    CSpectrum s(true);
    identity.SetActiveSpectrumSource([&] { return &s; });
    s.SetPlatformCode(kPlatformDravon);
    s.Image().Set(15, 0x5000);
    identity.SetAutoPlatform(false);
    identity.Detect(s);
    EXPECT_EQ(loop.RunPending(), 0);
    EXPECT_EQ(s.PlatformCode(), kPlatformDravon);
    EXPECT_TRUE(identity.AutoPlatform());
}

TEST(AboutHardware, TextsAndModelNames) {
    CSpectrum s(true);
    s.SetPlatformCode(kPlatformKiramo);
    s.Image().Set(62, 0x0A);
    s.Image().Set(63, 355);
    s.MutableReadings().firmwareVersion = 250;
    s.MutableReadings().serialNumber = 42;
    const HardwareInfo info = AboutHardware(s, 0.0125);
    EXPECT_EQ(info.caption, "Kiramo");
    EXPECT_EQ(info.text, "Serial Number:\t00042\nFirmware Version:\t2.50\nFPGA Version:\t 35.5\nPrimary TC A "
                         "(5%):\t 12.8us\nInput B Mode:\tPHA");
    s.Image().Set(62, 0x2A);
    EXPECT_EQ(AboutHardware(s, 0.0125).text,
              "Serial Number:\t00042\nFirmware Version:\t2.50\nFPGA Version:\t 35.5\n"
              "Primary TC A (5%):\t 12.8us\nPrimary TC B (5%):\t  0.1us");
    EXPECT_EQ(ModelName(0, 1, 0x0008), "Velusk");
    EXPECT_EQ(ModelName(1, 0, 0x0008), "Kiramo-II");
    EXPECT_EQ(ModelName(1, 0, 0x000C), "Kiramo");
    EXPECT_EQ(ModelName(1, 1, 0x0004), "Kiramo-SP");
    EXPECT_EQ(ModelName(2, 0, 0), "Dravon");
    EXPECT_EQ(ModelName(9999, 0, 0), "Kiramo");
}

} // namespace
} // namespace orvane
