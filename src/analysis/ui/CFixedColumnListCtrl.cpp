#include "analysis/ui/CFixedColumnListCtrl.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace orvane {

CFixedColumnListCtrl::CFixedColumnListCtrl(QWidget* parent) : QTableWidget(0, 2, parent) {
    setHorizontalHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Energy")});
    // Stretch splits the width evenly and, unlike Interactive, gives the user no handle to drag.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Compact rows, and room for all ten points without scrolling.
    const int rowHeight = fontMetrics().height() + 6;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    setMinimumHeight(horizontalHeader()->sizeHint().height() + CalibrationModel::kMaxRows * rowHeight +
                     2 * frameWidth());
    setSelectionMode(QAbstractItemView::NoSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { OnItemChanged(item); });
}

QTableWidgetItem* CFixedColumnListCtrl::Cell(const std::string& text, bool checkable, bool checked) const {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setTextAlignment(Qt::AlignCenter);
    // Enabled but never selectable or editable: only the check box reacts to the user.
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (checkable) {
        flags |= Qt::ItemIsUserCheckable;
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    item->setFlags(flags);
    return item;
}

void CFixedColumnListCtrl::SetRows(const std::vector<CalibrationModel::Row>& rows) {
    const QSignalBlocker quiet(this);
    setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rowCount(); ++i) {
        const CalibrationModel::Row& row = rows[static_cast<std::size_t>(i)];
        setItem(i, 0, Cell(row.channel, true, row.checked));
        setItem(i, 1, Cell(row.energy, false, false));
    }
}

bool CFixedColumnListCtrl::IsChecked(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell != nullptr && cell->checkState() == Qt::Checked;
}

void CFixedColumnListCtrl::OnItemChanged(QTableWidgetItem* item) {
    if (item->column() == 0 && onRowChecked)
        onRowChecked(item->row(), item->checkState() == Qt::Checked);
}

void CFixedColumnListCtrl::focusOutEvent(QFocusEvent* event) {
    QTableWidget::focusOutEvent(event);
    if (onFocusLost)
        onFocusLost();
}

} // namespace orvane
