// Settings through the real INI file in a temporary config home, with real windows and the application's
// own style and palette.
#include "shell/SettingsPersistence.h"
#include "shell/ui/MainWindowSettings.h"
#include "shell/ui/QtSettingsStore.h"
#include "shell/ui/QtThemes.h"
#include "shell/ui/QtWindowLayout.h"
#include "shell/ui/QtWindowPlacement.h"
#include "spectrum/CSpectrum.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <numeric>
#include <set>

namespace orvane {
namespace {

using P = SettingsPersistence;

constexpr DisplayColours kBuffer{0x00112233, 0x00445566, 0x00778899, 0x00AABBCC};
constexpr DisplayColours kFile{0x00010203, 0x00040506, 0x00070809, 0x000A0B0C};

// A main window shaped like the analyzer's: named toolbars and docks, so layouts can find them.
struct Window {
    QMainWindow window;
    QToolBar* standard = new QToolBar("Standard", &window);
    QToolBar* hardware = new QToolBar("Hardware Control", &window);
    QDockWidget* events = new QDockWidget("Events", &window);
    QDockWidget* info = new QDockWidget("Spectrum Info", &window);

    Window() {
        standard->setObjectName("standard");
        hardware->setObjectName("hardware");
        events->setObjectName("events");
        info->setObjectName("info");
        events->setWidget(new QTextEdit);
        info->setWidget(new QTextEdit);
        window.setCentralWidget(new QTextEdit);
        window.addToolBar(Qt::TopToolBarArea, standard);
        window.addToolBar(Qt::TopToolBarArea, hardware);
        window.addDockWidget(Qt::BottomDockWidgetArea, events);
        window.addDockWidget(Qt::RightDockWidgetArea, info);
        window.setGeometry(60, 70, 700, 500);
    }
};

class SettingsStoreViewTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
        Reopen();
    }
    void TearDown() override {
        qputenv("XDG_CONFIG_HOME", saved);
        QtThemes::Apply(ThemeCatalog::kDefault);
    }
    // As the next start of the program sees the file.
    void Reopen() {
        store = std::make_unique<QtSettingsStore>(QtSettingsStore::FileForRoot(P::kRoot));
        settings = std::make_unique<SettingsPersistence>(*store);
    }
    QString FileText() const {
        QFile f(store->FilePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir home;
    QByteArray saved;
    std::unique_ptr<QtSettingsStore> store;
    std::unique_ptr<SettingsPersistence> settings;
    std::unique_ptr<CSpectrum> buffer = std::make_unique<CSpectrum>(true);
};

TEST_F(SettingsStoreViewTest, OneIniFileUnderTheConfigHomeKeepsTypesAndEveryByte) {
    EXPECT_EQ(store->FilePath(), home.path() + "/Orvane/Orvane-MCA 8.50.ini");
    std::vector<std::uint8_t> all(720);
    std::iota(all.begin(), all.end(), 0); // every byte value, NUL, newline, '@' and '\\' included
    ASSERT_TRUE(store->SetBytes(P::kSpectrumKey, P::kCalibration, all));
    ASSERT_TRUE(store->SetNumber(P::kSpectrumKey, "BufferCursorColor", 0xFFFFFFFFu));
    ASSERT_TRUE(store->SetString("\\ConfigOrvane\\LastPath", "FPGAFile", "/home/lab/images, new"));
    EXPECT_TRUE(FileText().contains("[Orvane-MCA]"));
    EXPECT_TRUE(FileText().contains("Spectrum\\BufferCursorColor=4294967295"));

    Reopen();
    std::vector<std::uint8_t> bytes;
    std::uint32_t number = 0;
    std::string text;
    ASSERT_TRUE(store->GetBytes(P::kSpectrumKey, P::kCalibration, bytes));
    EXPECT_EQ(bytes, all);
    ASSERT_TRUE(store->GetNumber(P::kSpectrumKey, "BufferCursorColor", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    ASSERT_TRUE(store->GetString("\\ConfigOrvane\\LastPath", "FPGAFile", text));
    EXPECT_EQ(text, "/home/lab/images, new");
    // A value of another type reads as missing.
    EXPECT_FALSE(store->GetNumber(P::kSpectrumKey, P::kCalibration, number));
    EXPECT_FALSE(store->GetBytes("\\ConfigOrvane\\LastPath", "FPGAFile", bytes));
    EXPECT_TRUE(store->KeyExists("\\Orvane-MCA"));
    EXPECT_FALSE(store->KeyExists("\\Orvane-MCA\\App"));
}

TEST_F(SettingsStoreViewTest, HandEditedNumbersThatAreNoNumbersReadAsMissing) {
    QFile f(QtSettingsStore::FileForRoot(P::kRoot));
    ASSERT_TRUE(QDir().mkpath(home.path() + "/Orvane"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[Orvane-MCA]\nApp\\AppLook=blue\nSpectrum\\IO%20Speed=99999999999\nSpectrum\\FileBkgColor= 42\n");
    f.close();
    Reopen();
    std::uint32_t n = 7;
    EXPECT_FALSE(store->GetNumber(P::kAppKey, P::kAppLook, n));
    EXPECT_FALSE(store->GetNumber(P::kSpectrumKey, P::kIoSpeed, n));
    ASSERT_TRUE(store->GetNumber(P::kSpectrumKey, "FileBkgColor", n));
    EXPECT_EQ(n, 42u);
    // The key opened, so the theme stays 0.
    EXPECT_EQ(settings->LoadTheme(), 0);
}

TEST_F(SettingsStoreViewTest, OnlyBufferColoursInTheFileLeaveTheFileDisplayAndSpeedAtDefaults) {
    const char* names[] = {"BufferCursorColor", "BufferSpectrumColor", "BufferBkgColor", "BufferROIColor"};
    const std::uint32_t values[] = {kBuffer.cursor, kBuffer.spectrum, kBuffer.background, kBuffer.roi};
    for (int i = 0; i < 4; ++i)
        store->SetNumber(P::kSpectrumKey, names[i], values[i]);
    store->SetNumber(P::kSpectrumKey, P::kIoSpeed, 1);
    Reopen();
    const auto loaded = settings->LoadColoursAndSpeed();
    EXPECT_EQ(loaded.buffer, kBuffer);
    EXPECT_FALSE(loaded.file);
    EXPECT_FALSE(loaded.ioSpeed);
}

TEST_F(SettingsStoreViewTest, ATooLongCalibrationInTheFileLeavesTheCalibrationAsInitialised) {
    store->SetBytes(P::kSpectrumKey, P::kCalibration, std::vector<std::uint8_t>(721, 0x11));
    Reopen();
    EXPECT_FALSE(settings->LoadCalibration(*buffer));
    EXPECT_EQ(buffer->StoredCalibration(0), CalibrationSet{});
    EXPECT_EQ(buffer->StoredCalibration(1), CalibrationSet{});
}

TEST_F(SettingsStoreViewTest, ANormalExitRestoresPlacementLayoutColoursCalibrationSpeedAndTheme) {
    {
        Window w;
        w.window.show();
        MainWindowSettings frame(*settings, w.window);
        frame.LoadTheme();
        w.window.setGeometry(110, 130, 640, 480);
        w.window.addDockWidget(Qt::LeftDockWidgetArea, w.info);
        w.hardware->hide();
        buffer->StoredCalibration(1).a = 0.25;
        buffer->StoredCalibration(1).count = 2;
        frame.ChooseTheme(ThemeCatalog::kSilver);
        frame.SaveAll(kBuffer, kFile, 1, *buffer);
    }
    Reopen();
    for (const char* name :
         {"BufferCursorColor", "BufferSpectrumColor", "BufferBkgColor", "BufferROIColor", "FileCursorColor",
          "FileSpectrumColor", "FileBkgColor", "FileROIColor", "Calibration", "IO Speed"}) {
        std::vector<std::uint8_t> bytes;
        std::uint32_t n = 0;
        EXPECT_TRUE(store->GetNumber(P::kSpectrumKey, name, n) ||
                    store->GetBytes(P::kSpectrumKey, name, bytes))
            << name;
    }

    Window w;
    MainWindowSettings frame(*settings, w.window);
    EXPECT_EQ(frame.LoadTheme(), ThemeCatalog::kSilver);
    const auto loaded = settings->LoadColoursAndSpeed();
    EXPECT_EQ(loaded.buffer, kBuffer);
    EXPECT_EQ(loaded.file, kFile);
    EXPECT_EQ(loaded.ioSpeed, 1);
    auto next = std::make_unique<CSpectrum>(true);
    ASSERT_TRUE(settings->LoadCalibration(*next));
    EXPECT_EQ(next->StoredCalibration(1), buffer->StoredCalibration(1));
    EXPECT_TRUE(frame.LoadToolbarState());
    EXPECT_TRUE(frame.LoadWindowPlacement());
    EXPECT_TRUE(frame.RestoreLayout());
    w.window.show();
    EXPECT_EQ(w.window.geometry(), QRect(110, 130, 640, 480));
    EXPECT_EQ(w.window.dockWidgetArea(w.info), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(w.hardware->isHidden());
    EXPECT_FALSE(w.standard->isHidden());
}

TEST_F(SettingsStoreViewTest, TheFortyFourBytePlacementOfAMaximisedWindowComesBackMaximised) {
    {
        Window w;
        w.window.setGeometry(90, 80, 600, 400);
        w.window.showMaximized();
        const WindowPlacement captured = QtWindowPlacement::Capture(w.window);
        EXPECT_EQ(captured.showState, WindowPlacement::kShowMaximized);
        EXPECT_EQ(QRect(captured.left, captured.top, captured.right - captured.left,
                        captured.bottom - captured.top),
                  QRect(90, 80, 600, 400));
        store->SetBytes(P::kWindowPosKey, P::kWinPos, captured.Pack());
    }
    Reopen();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(store->GetBytes(P::kWindowPosKey, P::kWinPos, bytes));
    EXPECT_EQ(bytes.size(), 44u);
    Window w;
    MainWindowSettings frame(*settings, w.window);
    ASSERT_TRUE(frame.LoadWindowPlacement());
    w.window.show();
    EXPECT_TRUE(w.window.isMaximized());
    EXPECT_EQ(w.window.normalGeometry(), QRect(90, 80, 600, 400));
}

TEST_F(SettingsStoreViewTest, APlacementOnNoScreenOrMinimisedComesBackVisible) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    WindowPlacement p;
    p.showState = WindowPlacement::kShowMinimized;
    p.left = available.right() + 5000;
    p.top = 100;
    p.right = p.left + 400;
    p.bottom = 400;
    Window w;
    QtWindowPlacement::Apply(w.window, p);
    w.window.show();
    EXPECT_FALSE(w.window.isMinimized());
    EXPECT_TRUE(available.intersects(w.window.geometry()));
    EXPECT_EQ(w.window.size(), QSize(400, 300));
}

TEST_F(SettingsStoreViewTest, DefaultLayoutRestoresTheFactoryArrangementKeptAtFirstStart) {
    Window w;
    MainWindowSettings frame(*settings, w.window);
    EXPECT_FALSE(frame.RestoreDefaultLayout());
    EXPECT_TRUE(frame.KeepFactoryLayout());
    EXPECT_FALSE(frame.KeepFactoryLayout());
    w.window.show();
    w.window.addDockWidget(Qt::TopDockWidgetArea, w.events);
    w.events->setFloating(true);
    ASSERT_TRUE(frame.RestoreDefaultLayout());
    EXPECT_FALSE(w.events->isFloating());
    EXPECT_EQ(w.window.dockWidgetArea(w.events), Qt::BottomDockWidgetArea);
    // Nothing saved yet under the last layout.
    EXPECT_FALSE(frame.RestoreLayout());
}

TEST_F(SettingsStoreViewTest, ToolbarStateAloneMovesAndHidesToolbarsAndDamagedBytesChangeNothing) {
    {
        Window w;
        w.window.addToolBar(Qt::LeftToolBarArea, w.hardware);
        w.standard->hide();
        store->SetBytes(P::kToolkitKey, P::kToolbarState, QtWindowLayout::SaveToolbarState(w.window));
    }
    Reopen();
    Window w;
    MainWindowSettings frame(*settings, w.window);
    ASSERT_TRUE(frame.LoadToolbarState());
    EXPECT_EQ(w.window.toolBarArea(w.hardware), Qt::LeftToolBarArea);
    EXPECT_TRUE(w.standard->isHidden());
    EXPECT_FALSE(w.hardware->isHidden());

    Window fresh;
    MainWindowSettings damaged(*settings, fresh.window);
    const std::vector<std::uint8_t> garbage(37, 0x5A);
    store->SetBytes(P::kToolkitKey, P::kToolbarState, garbage);
    store->SetBytes(P::kToolkitKey, P::kLayout, garbage);
    EXPECT_FALSE(damaged.LoadToolbarState());
    EXPECT_FALSE(damaged.RestoreLayout());
    EXPECT_EQ(fresh.window.toolBarArea(fresh.hardware), Qt::TopToolBarArea);
    EXPECT_FALSE(fresh.standard->isHidden());
    EXPECT_EQ(fresh.window.dockWidgetArea(fresh.events), Qt::BottomDockWidgetArea);
}

TEST_F(SettingsStoreViewTest, AFactoryLayoutThisBuildCannotRestoreIsReplaced) {
    Window w;
    MainWindowSettings frame(*settings, w.window);
    QByteArray older = w.window.saveState(0);
    store->SetBytes(P::kToolkitKey, P::kDefaultLayout, std::vector<std::uint8_t>(older.begin(), older.end()));
    EXPECT_TRUE(frame.KeepFactoryLayout());
    EXPECT_FALSE(frame.KeepFactoryLayout());
    EXPECT_TRUE(frame.RestoreDefaultLayout());
}

TEST_F(SettingsStoreViewTest, ChoosingAThemeRestylesTheApplicationAtOnceAndIsRemembered) {
    Window w;
    w.window.show();
    MainWindowSettings frame(*settings, w.window);
    EXPECT_EQ(frame.LoadTheme(), ThemeCatalog::kDefault);
    frame.ApplyTheme();
    const QColor black = QApplication::palette().color(QPalette::Window);
    EXPECT_LT(black.lightness(), 60);

    frame.ChooseTheme(ThemeCatalog::kBlue);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              QtThemes::Palette(ThemeCatalog::kBlue).color(QPalette::Window));
    // Qt hands the new palette to each widget through its event queue.
    QCoreApplication::processEvents();
    EXPECT_EQ(w.window.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
    EXPECT_TRUE(FileText().contains("ApplicationLook=32884"));
    int marked = 0;
    for (const auto& item : frame.ThemeMenu())
        marked += item.checked ? item.id : 0;
    EXPECT_EQ(marked, ThemeCatalog::kBlue);

    frame.ChooseTheme(ThemeCatalog::kStyle1);
    EXPECT_NE(QApplication::palette().color(QPalette::Window),
              QtThemes::Palette(ThemeCatalog::kBlue).color(QPalette::Window));
    Reopen();
    EXPECT_EQ(settings->LoadTheme(), ThemeCatalog::kStyle1);
}

TEST(QtThemesTest, TheNineThemesLookDistinctAndAnUnknownNumberLooksLikeBlack) {
    std::set<QString> looks;
    for (const auto& entry : ThemeCatalog::Entries()) {
        const QPalette p = QtThemes::Palette(entry.id);
        looks.insert(QtThemes::StyleName(entry.id) + p.color(QPalette::Window).name() +
                     p.color(QPalette::Highlight).name());
        // Text stays readable on its background.
        EXPECT_GT(std::abs(p.color(QPalette::Text).lightness() - p.color(QPalette::Base).lightness()), 100)
            << entry.caption;
    }
    EXPECT_EQ(looks.size(), 9u);
    EXPECT_EQ(QtThemes::Palette(0).color(QPalette::Window),
              QtThemes::Palette(ThemeCatalog::kBlack).color(QPalette::Window));
}

} // namespace
} // namespace orvane
