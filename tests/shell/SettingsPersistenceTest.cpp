#include "shell/SettingsPersistence.h"
#include "shell/MemorySettingsStore.h"
#include "spectrum/CSpectrum.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace orvane {
namespace {

using P = SettingsPersistence;

constexpr DisplayColours kBufferColours{0x00112233, 0x00445566, 0x00778899, 0x00AABBCC};
constexpr DisplayColours kFileColours{0x00010203, 0x00040506, 0x00070809, 0x000A0B0C};

void PutColours(SettingsStore& store, const char* prefix, const DisplayColours& c) {
    const std::string p = prefix;
    store.SetNumber(P::kSpectrumKey, p + "CursorColor", c.cursor);
    store.SetNumber(P::kSpectrumKey, p + "SpectrumColor", c.spectrum);
    store.SetNumber(P::kSpectrumKey, p + "BkgColor", c.background);
    store.SetNumber(P::kSpectrumKey, p + "ROIColor", c.roi);
}

// A calibration with every field away from its creation value.
CalibrationSet Calibrated(double scale, int count) {
    CalibrationSet set;
    set.a = 0.001 * scale;
    set.b = 2.5 * scale;
    set.c = -3.0 * scale;
    for (int i = 0; i < count; ++i) {
        set.channel[i] = 100.0 * (i + 1);
        set.energy[i] = 661.7 * (i + 1) * scale;
        set.use[i] = i % 2;
    }
    set.useAll = 1;
    set.count = count;
    set.units = 2;
    set.enabled = 1;
    return set;
}

std::vector<std::uint8_t> Blocks(const CalibrationSet& a, const CalibrationSet& b) {
    std::vector<std::uint8_t> bytes;
    for (const CalibrationSet* set : {&a, &b}) {
        const auto block = set->Serialize();
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    return bytes;
}

class SettingsPersistenceTest : public testing::Test {
protected:
    MemorySettingsStore store;
    SettingsPersistence settings{store};
    std::unique_ptr<CSpectrum> buffer = std::make_unique<CSpectrum>(true);
};

TEST_F(SettingsPersistenceTest, AnEmptyStoreLeavesEverySettingAtItsDefault) {
    EXPECT_EQ(settings.LoadTheme(), ThemeCatalog::kDefault);
    const auto loaded = settings.LoadColoursAndSpeed();
    EXPECT_FALSE(loaded.buffer);
    EXPECT_FALSE(loaded.file);
    EXPECT_FALSE(loaded.ioSpeed);
    EXPECT_FALSE(settings.LoadCalibration(*buffer));
    EXPECT_EQ(buffer->StoredCalibration(0), CalibrationSet{});
    EXPECT_FALSE(settings.LoadWindowPlacement());
    EXPECT_FALSE(settings.LoadLayout());
    EXPECT_FALSE(settings.LoadDefaultLayout());
    EXPECT_FALSE(settings.LoadToolbarState());
}

TEST_F(SettingsPersistenceTest, ThemeComesFromTheAppKeyWhenItOpensElseFromTheToolkitEntry) {
    // No "App" key: the theme chosen last ("ApplicationLook") counts.
    settings.SaveTheme(ThemeCatalog::kSilver);
    EXPECT_EQ(settings.LoadTheme(), ThemeCatalog::kSilver);

    // An "App" key without "AppLook": theme 0, shown as the default look with no radio mark.
    store.CreateKey(P::kAppKey);
    EXPECT_EQ(settings.LoadTheme(), 0);
    EXPECT_EQ(ThemeCatalog::LookOf(0), ThemeCatalog::kBlack);
    for (const auto& item : ThemeCatalog::Menu(0))
        EXPECT_FALSE(item.checked) << item.caption;

    store.SetNumber(P::kAppKey, P::kAppLook, ThemeCatalog::kStyle2);
    EXPECT_EQ(settings.LoadTheme(), ThemeCatalog::kStyle2);
}

TEST_F(SettingsPersistenceTest, OnlyBufferColoursStoredGiveTheFileDisplayDefaultsAndSkipTheSpeed) {
    PutColours(store, "Buffer", kBufferColours);
    store.SetNumber(P::kSpectrumKey, P::kIoSpeed, 1);
    const auto loaded = settings.LoadColoursAndSpeed();
    ASSERT_TRUE(loaded.buffer);
    EXPECT_EQ(*loaded.buffer, kBufferColours);
    EXPECT_FALSE(loaded.file);
    EXPECT_FALSE(loaded.ioSpeed);
}

TEST_F(SettingsPersistenceTest, ColoursStopAtTheFirstMissingValueOfEachDisplay) {
    PutColours(store, "Buffer", kBufferColours);
    store.Remove(P::kSpectrumKey, "BufferBkgColor");
    PutColours(store, "File", kFileColours);
    store.SetNumber(P::kSpectrumKey, P::kIoSpeed, 1);
    const auto loaded = settings.LoadColoursAndSpeed();
    EXPECT_FALSE(loaded.buffer);
    ASSERT_TRUE(loaded.file);
    EXPECT_EQ(*loaded.file, kFileColours);
    EXPECT_EQ(loaded.ioSpeed, 1);
}

TEST_F(SettingsPersistenceTest, ASpeedThatNamesNoLineSpeedKeepsTheStartValue) {
    PutColours(store, "Buffer", kBufferColours);
    PutColours(store, "File", kFileColours);
    store.SetNumber(P::kSpectrumKey, P::kIoSpeed, 7);
    EXPECT_FALSE(settings.LoadColoursAndSpeed().ioSpeed);
}

TEST_F(SettingsPersistenceTest, ACalibrationValueLongerThanBothBlocksIsNotRead) {
    auto bytes = Blocks(Calibrated(1, 3), Calibrated(2, 4));
    bytes.push_back(0);
    store.SetBytes(P::kSpectrumKey, P::kCalibration, bytes);
    EXPECT_FALSE(settings.LoadCalibration(*buffer));
    EXPECT_EQ(buffer->StoredCalibration(0), CalibrationSet{});
    EXPECT_EQ(buffer->StoredCalibration(1), CalibrationSet{});
}

TEST_F(SettingsPersistenceTest, AShortCalibrationValueOverwritesOnlyTheBeginning) {
    const CalibrationSet before = Calibrated(5, 2);
    buffer->StoredCalibration(0) = before;
    buffer->StoredCalibration(1) = before;
    // Input A whole, then a, b and c of input B.
    auto bytes = Blocks(Calibrated(1, 3), Calibrated(2, 4));
    bytes.resize(CalibrationSet::kBytes + 24);
    store.SetBytes(P::kSpectrumKey, P::kCalibration, bytes);

    ASSERT_TRUE(settings.LoadCalibration(*buffer));
    EXPECT_EQ(buffer->StoredCalibration(0), Calibrated(1, 3));
    CalibrationSet expectedB = before;
    expectedB.a = Calibrated(2, 4).a;
    expectedB.b = Calibrated(2, 4).b;
    expectedB.c = Calibrated(2, 4).c;
    EXPECT_EQ(buffer->StoredCalibration(1), expectedB);
}

TEST_F(SettingsPersistenceTest, ABlockWithAnImpossiblePointCountIsEmptiedAlone) {
    for (const int badCount : {11, -1}) {
        CalibrationSet bad = Calibrated(2, 4);
        bad.count = badCount;
        store.SetBytes(P::kSpectrumKey, P::kCalibration, Blocks(Calibrated(1, 10), bad));
        ASSERT_TRUE(settings.LoadCalibration(*buffer));
        EXPECT_EQ(buffer->StoredCalibration(0), Calibrated(1, 10));
        CalibrationSet expected = bad;
        expected.count = 0;
        EXPECT_EQ(buffer->StoredCalibration(1), expected) << badCount;
    }
}

TEST_F(SettingsPersistenceTest, EverythingSavedAtANormalExitComesBackAtTheNextStart) {
    buffer->StoredCalibration(0) = Calibrated(1, 3);
    buffer->StoredCalibration(1) = Calibrated(3, 10);
    P::ShutdownState state;
    state.toolbarState = {1, 2, 3};
    state.placement.showState = WindowPlacement::kShowMaximized;
    state.placement.left = -8;
    state.placement.top = 40;
    state.placement.right = 1200;
    state.placement.bottom = 900;
    state.layout = {9, 8, 7, 6};
    state.bufferColours = kBufferColours;
    state.fileColours = kFileColours;
    state.ioSpeed = 1;
    state.theme = ThemeCatalog::kAqua;
    settings.SaveAll(state, *buffer);

    SettingsPersistence next(store);
    auto nextBuffer = std::make_unique<CSpectrum>(true);
    EXPECT_EQ(next.LoadTheme(), ThemeCatalog::kAqua);
    const auto loaded = next.LoadColoursAndSpeed();
    EXPECT_EQ(loaded.buffer, kBufferColours);
    EXPECT_EQ(loaded.file, kFileColours);
    EXPECT_EQ(loaded.ioSpeed, 1);
    ASSERT_TRUE(next.LoadCalibration(*nextBuffer));
    EXPECT_EQ(nextBuffer->StoredCalibration(0), Calibrated(1, 3));
    EXPECT_EQ(nextBuffer->StoredCalibration(1), Calibrated(3, 10));
    EXPECT_EQ(next.LoadWindowPlacement(), state.placement);
    EXPECT_EQ(next.LoadToolbarState(), state.toolbarState);
    EXPECT_EQ(next.LoadLayout(), state.layout);
}

// Records the order of writes.
class RecordingStore : public MemorySettingsStore {
public:
    std::vector<std::string> writes;
    bool SetNumber(const std::string& key, const std::string& name, std::uint32_t value) override {
        writes.push_back(name);
        return MemorySettingsStore::SetNumber(key, name, value);
    }
    bool SetBytes(const std::string& key, const std::string& name,
                  std::span<const std::uint8_t> value) override {
        writes.push_back(name);
        return MemorySettingsStore::SetBytes(key, name, value);
    }
};

TEST_F(SettingsPersistenceTest, SaveAllWritesInTheShutdownOrder) {
    RecordingStore recording;
    SettingsPersistence(recording).SaveAll({}, *buffer);
    const std::vector<std::string> expected = {"TBAR STATE",
                                               "WinPos",
                                               "AppState",
                                               "BufferCursorColor",
                                               "BufferSpectrumColor",
                                               "BufferBkgColor",
                                               "BufferROIColor",
                                               "FileCursorColor",
                                               "FileSpectrumColor",
                                               "FileBkgColor",
                                               "FileROIColor",
                                               "Calibration",
                                               "IO Speed",
                                               "AppLook"};
    EXPECT_EQ(recording.writes, expected);
    std::vector<std::uint8_t> calibration;
    ASSERT_TRUE(recording.GetBytes(P::kSpectrumKey, P::kCalibration, calibration));
    EXPECT_EQ(calibration.size(), 720u);
}

std::vector<std::uint8_t> Bytes(const WindowPlacement& p) {
    const auto packed = p.Pack();
    return {packed.begin(), packed.end()};
}

TEST_F(SettingsPersistenceTest, APlacementRecordThatCannotBeAppliedIsIgnored) {
    WindowPlacement good;
    good.right = 640;
    good.bottom = 480;
    WindowPlacement wrongLength = good;
    wrongLength.length = 40;
    WindowPlacement noArea = good;
    noArea.right = noArea.left;
    const auto packed = Bytes(good);
    const std::vector<std::uint8_t> shorter(packed.begin(), packed.end() - 1);
    auto longer = packed;
    longer.push_back(0);

    for (const auto& bytes : {shorter, longer, Bytes(wrongLength), Bytes(noArea)}) {
        store.SetBytes(P::kWindowPosKey, P::kWinPos, bytes);
        EXPECT_FALSE(settings.LoadWindowPlacement()) << bytes.size();
    }
    store.SetBytes(P::kWindowPosKey, P::kWinPos, packed);
    EXPECT_EQ(settings.LoadWindowPlacement(), good);
}

TEST(WindowPlacementTest, PacksElevenLittleEndianIntegersInRecordOrder) {
    WindowPlacement p;
    p.flags = WindowPlacement::kRestoreToMaximized;
    p.showState = WindowPlacement::kShowMinimized;
    p.minX = -32000;
    p.left = 0x01020304;
    p.bottom = -1;
    const auto bytes = p.Pack();
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 16);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{44, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0x00, 0x83, 0xFF, 0xFF}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 28, bytes.begin() + 32),
              (std::vector<std::uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    WindowPlacement back;
    ASSERT_TRUE(WindowPlacement::Unpack(bytes, back));
    EXPECT_EQ(back, p);
}

TEST(MemorySettingsStoreTest, KeysOpenLikeRegistryKeysAndValuesKeepTheirType) {
    MemorySettingsStore store;
    store.SetNumber("\\A\\B", "n", 5);
    EXPECT_TRUE(store.KeyExists("\\A\\B"));
    EXPECT_TRUE(store.KeyExists("\\A"));
    EXPECT_FALSE(store.KeyExists("\\A\\Bx"));
    EXPECT_FALSE(store.KeyExists("\\A\\B\\C"));

    std::string text = "kept";
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(store.GetString("\\A\\B", "n", text));
    EXPECT_FALSE(store.GetBytes("\\A\\B", "n", bytes));
    EXPECT_EQ(text, "kept");
}

TEST(ThemeCatalogTest, NineThemesInMenuOrderWithTheRadioMarkOnTheCurrentOne) {
    const auto menu = ThemeCatalog::Menu(ThemeCatalog::kBlue);
    std::vector<std::string> captions;
    std::vector<int> checked;
    for (const auto& item : menu) {
        captions.push_back(item.caption);
        if (item.checked)
            checked.push_back(item.id);
        EXPECT_EQ(item.inMoreStyles, item.id >= ThemeCatalog::kBlue);
    }
    EXPECT_EQ(captions,
              (std::vector<std::string>{"Style &1", "Style &2", "Style &3", "Style &4", "Style &5",
                                        "&Blue Style", "B&lack Style", "&Silver Style", "&Aqua Style"}));
    EXPECT_EQ(checked, std::vector<int>{32884});
    EXPECT_EQ(menu.front().id, 32879);
    EXPECT_EQ(menu.back().id, 32887);
    EXPECT_EQ(ThemeCatalog::LookOf(12345), ThemeCatalog::kDefault);
}

} // namespace
} // namespace orvane
