#pragma once

#include "organizer/ConversionHost.h"
#include "organizer/LogOrganizer.h"

#include <QDialog>
#include <QMessageBox>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kettrim {

class CProgressList;
class LogSequenceConversion;

// The organizer's one window: the file set, the output choices, the progress list, GO and EXIT. GO runs
// the conversion a step at a time from the event loop, so the window repaints throughout while it takes
// no input.
class CKettrimDlg : public QDialog, private ConversionHost {
    Q_OBJECT

public:
    struct FileChoice {
        QString title;
        QString filter;
        QString initialName; // "*." + the extension of the file chosen last
        QString directory;
    };
    // Returns the chosen path, or an empty text for Cancel.
    using FileChooser = std::function<QString(const FileChoice&)>;
    using MessageShower = std::function<void(const QString& text, const QString& caption, QMessageBox::Icon)>;

    static constexpr const char* kFileFilter = "Kiramo (*.qxs);;Trelon (*.qps);;All Files (*)";

    explicit CKettrimDlg(QWidget* parent = nullptr);
    ~CKettrimDlg() override;

    // Tests answer the file dialog and the message boxes without blocking.
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void SetMessageShower(MessageShower shower) { showMessage_ = std::move(shower); }

    bool IsConverting() const { return conversion_ != nullptr; }
    void AddProgressLine(const std::string& line) override;

public slots:
    void reject() override;

signals:
    void ConversionFinished();

private:
    void BuildControls();
    QWidget* BuildFileSet();
    QWidget* BuildOutput();
    void BuildWindowMenu();

    // Reads the controls into the organizer; false (after its message) when the increment is not valid.
    bool ReadControls();
    void WriteControls();
    void Browse(bool first);
    void OnIncrementEdited();
    void OnGo();
    void RunConversionStep();
    void SetConverting(bool converting);
    void ShowAbout();

    void ShowError(const std::string& text) override;
    static QString ChooseWithFileDialog(QWidget* parent, const FileChoice& choice);

    LogOrganizer organizer_;
    std::unique_ptr<LogSequenceConversion> conversion_;
    FileChooser chooseFile_;
    MessageShower showMessage_;

    QLineEdit* firstFolder_ = nullptr;
    QLineEdit* firstFile_ = nullptr;
    QLineEdit* lastFolder_ = nullptr;
    QLineEdit* lastFile_ = nullptr;
    QLineEdit* increment_ = nullptr;
    QLineEdit* filesToProcess_ = nullptr;
    QComboBox* fileFormat_ = nullptr;
    QComboBox* organization_ = nullptr;
    QComboBox* spectrumSize_ = nullptr;
    QComboBox* columnLabels_ = nullptr;
    QCheckBox* channelColumn_ = nullptr;
    CProgressList* progress_ = nullptr;
    QPushButton* go_ = nullptr;
    QPushButton* exit_ = nullptr;
    QList<QWidget*> inputs_;
    QList<QAction*> menuActions_;
};

} // namespace kettrim
