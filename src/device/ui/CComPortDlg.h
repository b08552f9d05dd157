#pragma once

#include "device/ComPortSettings.h"

#include <QDialog>

#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;

namespace orvane {

class PortEnumerator;

// The "Port" dialog: the port list (enumerated afresh on opening and whenever it drops open) and the IO
// speed. The baud, data bit, parity, stop bit and handshake lists are hidden and disabled: they keep their
// selections for the settings' sake, and only the baud list, which follows the IO speed, matters.
class CComPortDlg : public QDialog {
public:
    CComPortDlg(ComPortSettings& settings, PortEnumerator& ports, int ioSpeed, QWidget* parent = nullptr);

    // OK: the device path, the selections and the baud text go into the settings.
    void accept() override;
    // Cancel and Escape: the settings stay as they were.
    void reject() override;

private:
    void Enumerate(int speed);
    void FillPortList();
    void OnSpeedClicked(int speed);
    QComboBox* HiddenList(const char* name, const std::vector<std::string>& texts, int selected);

    ComPortSettings& settings_;
    const ComPortSettings saved_;
    PortEnumerator& ports_;
    QComboBox* portList_ = nullptr;
    QLabel* portError_ = nullptr;
    QButtonGroup* speed_ = nullptr;
    QComboBox* baud_ = nullptr;
    QComboBox* dataBits_ = nullptr;
    QComboBox* parity_ = nullptr;
    QComboBox* stopBits_ = nullptr;
    QComboBox* handshake_ = nullptr;
};

// Runs the dialog modally with the window's current IO speed; true after OK, when the settings hold the
// device path, the baud text and the IO speed (and SetPortLine() the line to log).
bool RunPortDialog(QWidget* parent, ComPortSettings& settings, PortEnumerator& ports, int ioSpeed);

} // namespace orvane
