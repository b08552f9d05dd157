#pragma once

#include <QWidget>

#include <functional>

namespace orvane::test {

// Runs the Qt event loop until done() holds; false when it still does not after realTimeoutMs.
bool SpinUntil(const std::function<bool()>& done, int realTimeoutMs = 5000);

// Saves what the widget shows as NAME.png in $ORVANE_VIEW_SNAPSHOTS, when that is set, to look at it.
void Snapshot(QWidget& widget, const char* name);

} // namespace orvane::test
