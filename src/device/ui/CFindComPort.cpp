#include "device/ui/CFindComPort.h"

#include "session/PortFinder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace orvane {

namespace {
constexpr int kListPage = 0;
constexpr int kProgressPage = 1;
} // namespace

CFindComPort::CFindComPort(PortFinder& finder, QWidget* parent) : QDialog(parent), finder_(finder) {
    setWindowTitle(QStringLiteral("Orvane Port Finder"));
    auto* layout = new QVBoxLayout(this);

    place_ = new QStackedWidget;
    auto* listPage = new QWidget;
    auto* listLayout = new QVBoxLayout(listPage);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(new QLabel(QStringLiteral("PORT")));
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("port"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    listLayout->addWidget(list_);
    place_->addWidget(listPage);

    auto* progressPage = new QWidget;
    auto* progressLayout = new QVBoxLayout(progressPage);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addStretch(1);
    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setTextVisible(false);
    progressLayout->addWidget(progress_);
    progressLayout->addStretch(1);
    place_->addWidget(progressPage);
    place_->setMinimumSize(list_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 80,
                           list_->fontMetrics().height() * 6);
    layout->addWidget(place_, 1);

    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    // The longest message takes two lines in a narrow dialog; it is wrapped, never cut.
    message_->setWordWrap(true);
    message_->setMinimumHeight(message_->fontMetrics().lineSpacing() * 2 + 4);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(message_);

    auto* buttons = new QHBoxLayout;
    find_ = new QPushButton(QStringLiteral("FIND"));
    ok_ = new QPushButton(QStringLiteral("OK"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    ok_->setDefault(true);
    buttons->addWidget(find_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(find_, &QPushButton::clicked, this, [this] { finder_.Find(); });
    connect(ok_, &QPushButton::clicked, this, &CFindComPort::accept);
    connect(cancel_, &QPushButton::clicked, this, &CFindComPort::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { finder_.Select(row); });
    connect(list_, &QListWidget::itemDoubleClicked, this, &CFindComPort::accept);

    finder_.SetChanged([this] { Sync(); });
    // The finder has taken over the OK itself; the dialog only closes.
    finder_.SetFinishedWithOk([this] { QDialog::accept(); });
    finder_.Open();
}

CFindComPort::~CFindComPort() {
    finder_.SetChanged(nullptr);
    finder_.SetFinishedWithOk(nullptr);
}

void CFindComPort::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (painted_)
        return;
    painted_ = true;
    // Started after the paint has finished: the search changes what the dialog shows.
    QMetaObject::invokeMethod(
        this, [this] { finder_.FirstPaint(); }, Qt::QueuedConnection);
}

void CFindComPort::Sync() {
    SyncList();
    place_->setCurrentIndex(finder_.ListShown() ? kListPage : kProgressPage);
    progress_->setRange(0, finder_.ProgressMax());
    progress_->setValue(finder_.Progress());
    message_->setText(QString::fromStdString(finder_.Message()));
    find_->setEnabled(finder_.ButtonsEnabled());
    cancel_->setEnabled(finder_.ButtonsEnabled());
    ok_->setEnabled(finder_.OkEnabled() && !finder_.Searching());
}

void CFindComPort::SyncList() {
    const QSignalBlocker quiet(list_);
    const std::vector<std::string>& found = finder_.Found();
    bool same = list_->count() == static_cast<int>(found.size());
    for (int i = 0; same && i < list_->count(); ++i)
        same = list_->item(i)->text() == QString::fromStdString(found[static_cast<std::size_t>(i)]);
    if (!same) {
        list_->clear();
        for (const std::string& entry : found)
            list_->addItem(QString::fromStdString(entry));
    }
    list_->setCurrentRow(finder_.Selected());
}

void CFindComPort::accept() {
    if (finder_.Searching() || !finder_.OkEnabled())
        return;
    finder_.Accept();
    QDialog::accept();
}

void CFindComPort::reject() {
    if (finder_.Searching())
        return;
    QDialog::reject();
}

bool RunPortFinder(QWidget* parent, PortFinder& finder) {
    CFindComPort dialog(finder, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace orvane
