#include "shell/ui/ExtentListView.h"

#include "shell/ProgressList.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QScrollBar>
#include <QStringListModel>
#include <QStyledItemDelegate>

namespace orvane {

namespace {

// Lays every line out as wide as the view's extent, so the contents (and the scroll range) are exactly
// that wide.
class ExtentDelegate : public QStyledItemDelegate {
public:
    explicit ExtentDelegate(const ExtentListView* view) : QStyledItemDelegate(nullptr), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(view_->Extent());
        return size;
    }

private:
    const ExtentListView* view_;
};

} // namespace

ExtentListView::ExtentListView(QWidget* parent) : QListView(parent), lines_(new QStringListModel(this)) {
    setModel(lines_);
    auto* delegate = new ExtentDelegate(this);
    delegate->setParent(this);
    setItemDelegate(delegate);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void ExtentListView::AppendLine(const std::string& text) {
    const int row = lines_->rowCount();
    lines_->insertRows(row, 1);
    lines_->setData(lines_->index(row), QString::fromStdString(text));
}

void ExtentListView::RemoveFirstLine() {
    if (lines_->rowCount() > 0)
        lines_->removeRows(0, 1);
}

void ExtentListView::SetLines(const std::deque<std::string>& lines) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        texts.append(QString::fromStdString(line));
    if (texts != lines_->stringList())
        lines_->setStringList(texts);
}

void ExtentListView::SetExtent(int pixels) {
    if (pixels == extent_)
        return;
    extent_ = pixels;
    // The size hints changed for every line: lay them out again.
    doItemsLayout();
}

void ExtentListView::ScrollToNewest() {
    scrollToBottom();
}

void ExtentListView::ScrollToTopLine(std::size_t line) {
    const int rows = lines_->rowCount();
    if (rows == 0)
        return;
    const int row = std::min(static_cast<int>(line), rows - 1);
    scrollTo(lines_->index(row), QAbstractItemView::PositionAtTop);
}

void ExtentListView::ShowReport(const ProgressList& report) {
    SetLines(report.Lines());
    SetExtent(report.Extent());
    ScrollToTopLine(report.TopLine());
}

void ExtentListView::UseReportFont() {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const int perCharacter = ProgressList::kPixelsPerCharacter;
    while (QFontMetrics(fixed).horizontalAdvance(QStringLiteral("0123456789")) > 10 * perCharacter &&
           fixed.pointSizeF() > 6.0)
        fixed.setPointSizeF(fixed.pointSizeF() - 0.5);
    setFont(fixed);
}

int ExtentListView::LineCount() const {
    return lines_->rowCount();
}

QString ExtentListView::LineText(int line) const {
    return lines_->data(lines_->index(line), Qt::DisplayRole).toString();
}

} // namespace orvane
