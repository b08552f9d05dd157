#pragma once

#include "shell/OutputLog.h"

#include <QWidget>

namespace orvane {

class ExtentListView;

// The "Events" pane: one list over the output log that fills the pane, scrolled horizontally to the widest
// kept line's extent and vertically so the newest line shows.
class COutputWnd : public QWidget, private OutputLog::Listener {
public:
    // Binds to the log (its lines so far are shown) until the pane is destroyed.
    explicit COutputWnd(OutputLog& log, QWidget* parent = nullptr);
    ~COutputWnd() override;

    // How the log measures a line: with the font the pane's list is drawn in.
    static OutputLog::WidthFunction ListTextWidth();

    ExtentListView& List() { return *list_; }

private:
    void OnLineAppended(const std::string& text) override;
    void OnOldestRemoved() override;
    void OnExtentChanged(int extent) override;

    OutputLog& log_;
    ExtentListView* list_;
};

} // namespace orvane
