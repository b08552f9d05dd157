#include "gui/GuiTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>

namespace orvane::test {

bool SpinUntil(const std::function<bool()>& done, int realTimeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > realTimeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void Snapshot(QWidget& widget, const char* name) {
    const QByteArray folder = qgetenv("ORVANE_VIEW_SNAPSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(QString::fromLocal8Bit(folder));
    widget.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromLatin1(name) + ".png"));
}

} // namespace orvane::test
