#include "organizer/ui/CProgressList.h"

#include <algorithm>

namespace kettrim {

CProgressList::CProgressList(QWidget* parent) : QListWidget(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::NoSelection);
}

QSize CProgressList::ItemSize(const QString& line) const {
    // A line may hold a line break ("Unable to Open File\n" + path): it is as tall as its text.
    return QSize(extent_, fontMetrics().height() * static_cast<int>(line.count(QLatin1Char('\n')) + 1) + 2);
}

void CProgressList::AddProgressLine(const QString& line) {
    addItem(line);
    if (count() > kMaxLines)
        delete takeItem(0);

    int longest = 0;
    for (int i = 0; i < count(); ++i)
        longest = std::max(longest, static_cast<int>(item(i)->text().size()));
    const int extent = 8 * longest + 8;
    const bool extentChanged = extent != extent_;
    extent_ = extent;
    for (int i = extentChanged ? 0 : count() - 1; i < count(); ++i)
        item(i)->setSizeHint(ItemSize(item(i)->text()));

    if (count() > kVisibleLines)
        scrollToItem(item(count() - kVisibleLines), QAbstractItemView::PositionAtTop);
    scrollToBottom();
    // Shown at once, also while a conversion keeps the window busy.
    if (isVisible())
        viewport()->repaint();
}

} // namespace kettrim
