#include "shell/ui/COutputWnd.h"

#include "shell/ui/ExtentListView.h"

#include <QApplication>
#include <QFontMetrics>
#include <QVBoxLayout>

namespace orvane {

COutputWnd::COutputWnd(OutputLog& log, QWidget* parent)
    : QWidget(parent), log_(log), list_(new ExtentListView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    for (const OutputLog::Line& line : log_.Lines())
        list_->AppendLine(line.text);
    list_->SetExtent(log_.Extent());
    list_->ScrollToNewest();
    log_.SetListener(this);
}

COutputWnd::~COutputWnd() {
    log_.SetListener(nullptr);
}

OutputLog::WidthFunction COutputWnd::ListTextWidth() {
    return [](const std::string& text) {
        // Read at every call, so a theme that changes the list font measures new lines in it.
        const QFontMetrics metrics(QApplication::font("QListView"));
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
}

void COutputWnd::OnLineAppended(const std::string& text) {
    list_->AppendLine(text);
    list_->ScrollToNewest();
}

void COutputWnd::OnOldestRemoved() {
    // Removing a line above moves what shows; the newest line is brought back into view.
    list_->RemoveFirstLine();
    list_->ScrollToNewest();
}

void COutputWnd::OnExtentChanged(int extent) {
    list_->SetExtent(extent);
}

} // namespace orvane
