#include "device/ui/CComPortDlg.h"

#include "device/ComPortSettings.h"
#include "device/SSerInfo.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <functional>

namespace orvane {

namespace {

// A combo box that says when it is about to drop open, so its list can be filled again first.
class RefreshingComboBox : public QComboBox {
public:
    std::function<void()> beforePopup;

    void showPopup() override {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

} // namespace

CComPortDlg::CComPortDlg(ComPortSettings& settings, PortEnumerator& ports, int ioSpeed, QWidget* parent)
    : QDialog(parent), settings_(settings), saved_(settings), ports_(ports) {
    setWindowTitle(QStringLiteral("Port"));
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(QStringLiteral("PORT")));
    auto* list = new RefreshingComboBox;
    list->setObjectName(QStringLiteral("port"));
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    list->beforePopup = [this] { Enumerate(settings_.Speed()); };
    portList_ = list;
    layout->addWidget(portList_);
    portError_ = new QLabel;
    portError_->setObjectName(QStringLiteral("portError"));
    portError_->setWordWrap(true);
    portError_->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    portError_->hide();
    layout->addWidget(portError_);

    auto* speedBox = new QGroupBox(QStringLiteral("IO SPEED"));
    auto* speedRow = new QHBoxLayout(speedBox);
    speed_ = new QButtonGroup(this);
    for (int id : {int(ComPortSettings::kFast), int(ComPortSettings::kNormal)}) {
        auto* radio = new QRadioButton(id == ComPortSettings::kFast ? QStringLiteral("FAST")
                                                                    : QStringLiteral("NORMAL"));
        radio->setObjectName(id == ComPortSettings::kFast ? QStringLiteral("fast")
                                                          : QStringLiteral("normal"));
        speed_->addButton(radio, id);
        speedRow->addWidget(radio);
    }
    connect(speed_, &QButtonGroup::idClicked, this, [this](int id) { OnSpeedClicked(id); });
    layout->addWidget(speedBox);

    // Restored and stored with the dialog, never shown and never reaching the connection.
    baud_ = HiddenList("baud", ComPortSettings::BaudTexts(), 0);
    dataBits_ = HiddenList("dataBits", ComPortSettings::DataBitTexts(), settings_.dataBitsIndex);
    parity_ = HiddenList("parity", ComPortSettings::ParityTexts(), settings_.parityIndex);
    stopBits_ = HiddenList("stopBits", ComPortSettings::StopBitTexts(), settings_.stopBitsIndex);
    handshake_ = HiddenList("handshake", ComPortSettings::HandshakeTexts(), settings_.handshakeIndex);
    for (QComboBox* hidden : {baud_, dataBits_, parity_, stopBits_, handshake_})
        layout->addWidget(hidden);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const int restoredPort = settings_.PortIndex();
    Enumerate(ioSpeed);
    if (restoredPort >= 0 && restoredPort < portList_->count())
        portList_->setCurrentIndex(restoredPort);
    speed_->button(settings_.Speed())->setChecked(true);
    baud_->setCurrentIndex(settings_.BaudIndex());
}

QComboBox* CComPortDlg::HiddenList(const char* name, const std::vector<std::string>& texts, int selected) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    for (const std::string& text : texts)
        list->addItem(QString::fromStdString(text));
    list->setCurrentIndex(selected >= 0 && selected < list->count() ? selected : 0);
    list->setEnabled(false);
    list->hide();
    return list;
}

void CComPortDlg::Enumerate(int speed) {
    std::string error;
    settings_.Open(ports_.Enumerate(error), speed);
    portError_->setText(QString::fromStdString(error));
    portError_->setVisible(!error.empty());
    FillPortList();
}

void CComPortDlg::FillPortList() {
    const QString previous = portList_->currentText();
    portList_->clear();
    for (const SSerInfo& port : settings_.Ports())
        portList_->addItem(QString::fromStdString(port.friendlyName));
    // A port that is still there stays chosen.
    portList_->setCurrentIndex(portList_->findText(previous));
}

void CComPortDlg::OnSpeedClicked(int speed) {
    settings_.ChooseSpeed(speed);
    baud_->setCurrentIndex(settings_.BaudIndex());
}

void CComPortDlg::reject() {
    // Only OK stores the selections: Cancel leaves the settings as they were before the dialog opened.
    settings_ = saved_;
    QDialog::reject();
}

void CComPortDlg::accept() {
    settings_.ChoosePort(portList_->currentIndex());
    settings_.dataBitsIndex = dataBits_->currentIndex();
    settings_.parityIndex = parity_->currentIndex();
    settings_.stopBitsIndex = stopBits_->currentIndex();
    settings_.handshakeIndex = handshake_->currentIndex();
    settings_.Accept();
    QDialog::accept();
}

bool RunPortDialog(QWidget* parent, ComPortSettings& settings, PortEnumerator& ports, int ioSpeed) {
    CComPortDlg dialog(settings, ports, ioSpeed, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace orvane
