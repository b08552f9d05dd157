#include "organizer/ui/CAboutDlg.h"
#include "organizer/ui/CKettrimDlg.h"
#include "organizer/ui/CProgressList.h"

#include "support/SeriesWriter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace kettrim {
namespace {

using test::SeriesWriter;

struct Message {
    QString text;
    QString caption;
    QMessageBox::Icon icon;
};

QStringList Entries(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

// Processes events until `done` holds or 20 s pass.
bool WaitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 20000)
        QTest::qWait(5);
    return done();
}

class KettrimDialogTest : public ::testing::Test {
protected:
    KettrimDialogTest() {
        dialog_.SetFileChooser([this](const CKettrimDlg::FileChoice& choice) {
            choices_.push_back(choice);
            return answers_.empty() ? QString() : answers_.takeFirst();
        });
        dialog_.SetMessageShower([this](const QString& text, const QString& caption, QMessageBox::Icon icon) {
            messages_.push_back({text, caption, icon});
        });
    }

    template <typename Widget> Widget* Find(const char* name) {
        auto* widget = dialog_.findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void WriteRuns(int count, int channels = 16384) {
        for (int n = 1; n <= count; ++n)
            SeriesWriter::WriteQxs(
                folder_.File(Name(n)), SeriesWriter::SampleCounts(channels, n),
                test::StampedRegisters(test::StampSource::Local, 2024, 3, 1, 9, n % 60, 0));
    }
    static std::string Name(int n) {
        char name[32];
        std::snprintf(name, sizeof name, "run_%04d.qxs", n);
        return name;
    }
    void Choose(const char* browse, const std::string& path) {
        answers_ << QString::fromStdString(path);
        QTest::mouseClick(Find<QPushButton>(browse), Qt::LeftButton);
    }
    void TypeIncrement(const QString& text) {
        QLineEdit* box = Find<QLineEdit>("increment");
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    test::TempFolder folder_;
    CKettrimDlg dialog_;
    QStringList answers_;
    std::vector<CKettrimDlg::FileChoice> choices_;
    std::vector<Message> messages_;
};

TEST_F(KettrimDialogTest, OpensWithEveryControlAndItsDefault) {
    EXPECT_EQ(dialog_.windowTitle(), "Orvane Spectrum Log Organizer");
    QStringList groups;
    for (const QGroupBox* group : dialog_.findChildren<QGroupBox*>())
        groups << group->title();
    EXPECT_EQ(groups, (QStringList{"FILE SET", "OUTPUT"}));
    QStringList labels;
    for (const QLabel* label : dialog_.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_EQ(labels, (QStringList{"Folder", "First File", "Folder", "Last File", "File Counter Increment",
                                   "Files To Process", "File Format", "Organization", "Spectrum Size",
                                   "Column Labels"}));

    EXPECT_EQ(Find<QLineEdit>("increment")->text(), "1");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "0");
    EXPECT_TRUE(Find<QLineEdit>("filesToProcess")->isReadOnly());
    EXPECT_TRUE(Find<QLineEdit>("firstFolder")->isReadOnly());
    EXPECT_EQ(Entries(Find<QComboBox>("fileFormat")), QStringList{"Comma Separated (CSV) "});
    EXPECT_EQ(Entries(Find<QComboBox>("organization")),
              (QStringList{"TABLE-SINGLE FILE ", "INDIVIDUAL_FILES "}));
    EXPECT_EQ(Entries(Find<QComboBox>("columnLabels")),
              (QStringList{"FILE NAME ", "FILE NUMBER ", "TIME STAMP ", "ELAPSED TIME[s] ", "NONE "}));
    EXPECT_EQ(Entries(Find<QComboBox>("spectrumSize")),
              (QStringList{"16384", "8192", "4096", "2048", "1024", "512"}));
    for (const char* list : {"fileFormat", "organization", "columnLabels", "spectrumSize"})
        EXPECT_EQ(Find<QComboBox>(list)->currentIndex(), 0) << list;
    EXPECT_EQ(Find<QCheckBox>("channelColumn")->text(), "Include Channel Number Column");
    EXPECT_FALSE(Find<QCheckBox>("channelColumn")->isChecked());
    EXPECT_EQ(Find<QPushButton>("firstBrowse")->text(), "Browse");
    EXPECT_EQ(Find<QPushButton>("go")->text(), "GO");
    EXPECT_EQ(Find<QPushButton>("exit")->text(), "EXIT");
}

TEST_F(KettrimDialogTest, BrowsingTheSeriesCountsItsFilesAndTheIncrementRecounts) {
    WriteRuns(10, 16);
    Choose("firstBrowse", folder_.File(Name(1)));
    Choose("lastBrowse", folder_.File(Name(10)));
    ASSERT_EQ(choices_.size(), 2u);
    EXPECT_EQ(choices_[0].title, "Select First File");
    EXPECT_EQ(choices_[1].title, "Select Last File");
    EXPECT_EQ(choices_[0].filter, "Kiramo (*.qxs);;Trelon (*.qps);;All Files (*)");
    EXPECT_EQ(choices_[0].initialName, "*.qxs");
    EXPECT_EQ(choices_[1].directory, QString::fromStdString(folder_.Path()));
    EXPECT_EQ(Find<QLineEdit>("firstFolder")->text(), QString::fromStdString(folder_.Path()));
    EXPECT_EQ(Find<QLineEdit>("firstFile")->text(), "run_0001.qxs");
    EXPECT_EQ(Find<QLineEdit>("lastFile")->text(), "run_0010.qxs");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "10");

    TypeIncrement("3");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "4");
    EXPECT_TRUE(messages_.empty());

    // Cancel leaves everything as it was; a hand edit of a file box changes nothing either.
    Find<QLineEdit>("lastFile")->setText("run_0004.qxs");
    QTest::mouseClick(Find<QPushButton>("lastBrowse"), Qt::LeftButton);
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "4");
    TypeIncrement("1");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "10");
}

TEST(KettrimDialogFileChooser, BrowseOpensAFileDialogOnTheCurrentType) {
    test::TempFolder folder;
    SeriesWriter::WriteQps(folder.File("t_0003.qps"), {}, {});
    CKettrimDlg dialog; // with its own file dialog
    dialog.show();
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!chooser)
            return;
        seen << chooser->windowTitle() << chooser->nameFilters().join("|") << chooser->selectedNameFilter();
        chooser->setDirectory(QString::fromStdString(folder.Path()));
        chooser->selectFile(QString::fromStdString(folder.File("t_0003.qps")));
        static_cast<QDialog*>(chooser)->accept(); // as the Open button does
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>("lastBrowse"), Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{"Select Last File", "Kiramo (*.qxs)|Trelon (*.qps)|All Files (*)",
                                 "Kiramo (*.qxs)"}));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("lastFile")->text(), "t_0003.qps");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("lastFolder")->text(), QString::fromStdString(folder.Path()));

    seen.clear();
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!chooser)
            return;
        seen << chooser->windowTitle() << chooser->selectedNameFilter();
        chooser->reject();
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>("firstBrowse"), Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{"Select First File", "Trelon (*.qps)"}));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("firstFile")->text(), "");
}

TEST_F(KettrimDialogTest, ALastFileOfTheOtherTypeRefillsTheSizeList) {
    WriteRuns(2, 16);
    SeriesWriter::WriteQps(folder_.File("run_0002.qps"), {}, {});
    Choose("firstBrowse", folder_.File(Name(1)));
    Find<QComboBox>("spectrumSize")->setCurrentIndex(3);
    Choose("lastBrowse", folder_.File("run_0002.qps"));
    QComboBox* sizes = Find<QComboBox>("spectrumSize");
    EXPECT_EQ(Entries(sizes), (QStringList{"4096", "2048", "1024", "512", "256", "128"}));
    EXPECT_EQ(sizes->currentText(), "4096");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "0");
    Choose("lastBrowse", folder_.File(Name(2)));
    EXPECT_EQ(choices_.back().initialName, "*.qps"); // the type of the file chosen last
    EXPECT_EQ(sizes->currentText(), "16384");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "2");
}

TEST_F(KettrimDialogTest, TheIncrementIsCheckedWhileTyping) {
    WriteRuns(10, 16);
    Choose("firstBrowse", folder_.File(Name(1)));
    Choose("lastBrowse", folder_.File(Name(10)));
    TypeIncrement("5");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "2");

    QLineEdit* box = Find<QLineEdit>("increment");
    QTest::keyClick(box, Qt::Key_Backspace);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "Enter an integer.");
    EXPECT_EQ(box->text(), ""); // the user can go on typing

    QTest::keyClicks(box, "0");
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].text, "Enter an integer between 1 and 10000.");
    EXPECT_EQ(messages_[1].icon, QMessageBox::Warning);
    EXPECT_EQ(box->text(), "1");
    EXPECT_EQ(Find<QLineEdit>("filesToProcess")->text(), "10");
    EXPECT_TRUE(box->hasFocus() || !dialog_.isActiveWindow());

    QTest::keyClicks(box, "x"); // letters never reach the box
    EXPECT_EQ(box->text(), "1");
    TypeIncrement("123456");
    EXPECT_EQ(messages_.back().text, "Enter an integer between 1 and 10000.");
    EXPECT_EQ(box->text(), "10000");
}

TEST_F(KettrimDialogTest, TheProgressListKeepsTheNewest80LinesInView) {
    dialog_.show();
    auto* list = Find<CProgressList>("progress");
    for (int i = 1; i <= 100; ++i)
        list->AddProgressLine(QStringLiteral("line %1 ").arg(i) + QString(i % 37, QLatin1Char('x')));
    ASSERT_EQ(list->count(), 80);
    EXPECT_TRUE(list->item(0)->text().startsWith("line 21 "));
    EXPECT_TRUE(list->item(79)->text().startsWith("line 100 "));
    int longest = 0;
    for (int i = 0; i < list->count(); ++i)
        longest = std::max(longest, static_cast<int>(list->item(i)->text().size()));
    EXPECT_EQ(list->HorizontalExtent(), 8 * longest + 8);
    QApplication::processEvents();
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(79)).bottomLeft()));
    EXPECT_FALSE(list->viewport()->rect().intersects(list->visualItemRect(list->item(0))));
}

TEST_F(KettrimDialogTest, GoConvertsWhileTheWindowKeepsRepaintingAndTakesNoInput) {
    WriteRuns(40);
    Choose("firstBrowse", folder_.File(Name(1)));
    Choose("lastBrowse", folder_.File(Name(40)));
    Find<QComboBox>("columnLabels")->setCurrentIndex(1);
    Find<QCheckBox>("channelColumn")->setChecked(true);
    dialog_.show();

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticks += dialog_.IsConverting() ? 1 : 0; });
    ticker.start(1);
    QSignalSpy finished(&dialog_, &CKettrimDlg::ConversionFinished);
    QTest::mouseClick(Find<QPushButton>("go"), Qt::LeftButton);
    EXPECT_TRUE(dialog_.IsConverting()); // the click returns at once
    EXPECT_FALSE(Find<QPushButton>("go")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("firstBrowse")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>("increment")->isEnabled());
    dialog_.reject(); // closing waits for the conversion
    EXPECT_TRUE(dialog_.isVisible());

    auto* list = Find<CProgressList>("progress");
    ASSERT_TRUE(WaitUntil([&] { return list->count() > 3 || !dialog_.IsConverting(); }));
    EXPECT_TRUE(dialog_.IsConverting()); // lines show while the conversion goes on
    ASSERT_TRUE(WaitUntil([&] { return finished.count() == 1; }));
    EXPECT_GT(ticks, 2);
    EXPECT_EQ(list->item(list->count() - 1)->text(), "Conversion Completed Successfully!");
    EXPECT_TRUE(Find<QPushButton>("go")->isEnabled());
    EXPECT_EQ(SeriesWriter::ReadText(folder_.File("run_0001_to_0040_+1_qxs.csv")).substr(0, 23),
              "Channel,0001,0002,0003,");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(KettrimDialogTest, ConversionErrorsShowTheirMessageBox) {
    WriteRuns(3, 16);
    Choose("firstBrowse", folder_.File(Name(1)));
    Choose("lastBrowse", folder_.File(Name(3)));
    std::filesystem::remove(folder_.File(Name(2)));
    QSignalSpy finished(&dialog_, &CKettrimDlg::ConversionFinished);
    QTest::mouseClick(Find<QPushButton>("go"), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return finished.count() == 1; }));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text.toStdString(),
              "Broken Spectrum Log Sequence!\n Missing File: " + folder_.File(Name(2)));
    EXPECT_EQ(messages_[0].caption, "Error");
    EXPECT_EQ(messages_[0].icon, QMessageBox::Critical);
    auto* list = Find<CProgressList>("progress");
    EXPECT_EQ(list->item(list->count() - 1)->text(), "Conversion Aborted");
}

TEST_F(KettrimDialogTest, TheWindowMenuOpensTheAboutBox) {
    dialog_.show();
    QAction* about = nullptr;
    for (QAction* action : dialog_.findChildren<QAction*>())
        if (action->text() == "&About Kettrim...")
            about = action;
    ASSERT_NE(about, nullptr);
    about->trigger();
    auto* box = dialog_.findChild<CAboutDlg*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowTitle(), "About Kettrim");
    EXPECT_EQ(box->findChild<QLabel*>()->text(), "Kettrim, Version 1.0");
    QPushButton* ok = box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return dialog_.findChild<CAboutDlg*>() == nullptr; }));
}

TEST_F(KettrimDialogTest, ExitClosesTheDialog) {
    dialog_.show();
    QSignalSpy closed(&dialog_, &QDialog::finished);
    QTest::mouseClick(Find<QPushButton>("exit"), Qt::LeftButton);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(dialog_.isVisible());
}

} // namespace
} // namespace kettrim
