#pragma once

#include <QListView>

#include <deque>
#include <string>

class QStringListModel;

namespace orvane {

class ProgressList;

// A read-only list of report lines whose horizontal scroll range is the extent its model measured, not the
// width Qt would work out itself: the Events pane and the dialogs' progress lists show it.
class ExtentListView : public QListView {
public:
    explicit ExtentListView(QWidget* parent = nullptr);

    void AppendLine(const std::string& text);
    void RemoveFirstLine();
    void SetLines(const std::deque<std::string>& lines);
    // The width in pixels every line is laid out with.
    void SetExtent(int pixels);
    int Extent() const { return extent_; }

    void ScrollToNewest();
    // Puts the given line at the top, as far as the scroll range allows.
    void ScrollToTopLine(std::size_t line);
    // A progress list as it stands: its lines, its extent and its top line.
    void ShowReport(const ProgressList& report);
    // A fixed-pitch font (report columns line up) no wider than the 8 pixels per character a progress
    // list's extent allows, so no line reaches past the scroll range.
    void UseReportFont();

    int LineCount() const;
    QString LineText(int line) const;

private:
    QStringListModel* lines_;
    int extent_ = 0;
};

} // namespace orvane
