#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace orvane {

class PortFinder;

// The "Orvane Port Finder": the found devices ("PORT"), a message line and, in the list's place while a
// search runs or when nothing was found, a progress bar. The search starts when the dialog is first
// painted; with exactly one device found the dialog closes by itself with OK. While searching FIND, OK
// and Cancel are disabled and the dialog cannot be closed, so a search always runs to its end.
class CFindComPort : public QDialog {
public:
    explicit CFindComPort(PortFinder& finder, QWidget* parent = nullptr);
    ~CFindComPort() override;

    // OK: the chosen device path and speed go into the finder.
    void accept() override;
    // Cancel, Escape and the window's close button; refused while a search runs.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Sync();
    void SyncList();

    PortFinder& finder_;
    QStackedWidget* place_ = nullptr;
    QListWidget* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* find_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool painted_ = false;
};

// Runs the finder's dialog modally; true after OK (by the user or by itself), when the finder holds the
// chosen device path, speed and baud rate.
bool RunPortFinder(QWidget* parent, PortFinder& finder);

} // namespace orvane
