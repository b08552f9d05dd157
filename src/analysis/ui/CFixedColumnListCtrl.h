#pragma once

#include "analysis/CalibrationModel.h"

#include <QTableWidget>

#include <functional>
#include <vector>

namespace orvane {

// The calibration points list: two columns that share the width equally and cannot be resized, rows that
// cannot be selected (so "Selected Points" always means the checked ones), a check box on every row, grid
// lines and rows drawn across the whole width.
class CFixedColumnListCtrl : public QTableWidget {
public:
    explicit CFixedColumnListCtrl(QWidget* parent = nullptr);

    // Shows the rows as given; nothing is reported back while they are set.
    void SetRows(const std::vector<CalibrationModel::Row>& rows);
    bool IsChecked(int row) const;

    // The user changed a row's check box.
    std::function<void(int row, bool checked)> onRowChecked;
    // The list lost the keyboard focus.
    std::function<void()> onFocusLost;

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OnItemChanged(QTableWidgetItem* item);
    QTableWidgetItem* Cell(const std::string& text, bool checkable, bool checked) const;
};

} // namespace orvane
