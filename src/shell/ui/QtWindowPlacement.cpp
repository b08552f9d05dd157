#include "shell/ui/QtWindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace orvane {

namespace {

// Screens may have changed since the record was written (a monitor unplugged): a window nobody can see or
// reach would look like a program that did not start.
QRect OnSomeScreen(QRect rect) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect))
            return rect;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr)
        return rect;
    const QRect available = primary->availableGeometry();
    rect.setSize(rect.size().boundedTo(available.size()));
    rect.moveTopLeft(available.topLeft());
    return rect;
}

} // namespace

WindowPlacement QtWindowPlacement::Capture(const QWidget& window) {
    WindowPlacement p;
    const Qt::WindowStates state = window.windowState();
    if (state & Qt::WindowMinimized) {
        p.showState = WindowPlacement::kShowMinimized;
        if (state & Qt::WindowMaximized)
            p.flags |= WindowPlacement::kRestoreToMaximized;
    } else if (state & Qt::WindowMaximized) {
        p.showState = WindowPlacement::kShowMaximized;
    }
    QRect normal = window.normalGeometry();
    if (!normal.isValid())
        normal = window.geometry();
    p.left = normal.x();
    p.top = normal.y();
    p.right = normal.x() + normal.width();
    p.bottom = normal.y() + normal.height();
    return p;
}

void QtWindowPlacement::Apply(QWidget& window, const WindowPlacement& placement) {
    const QRect rect(placement.left, placement.top, placement.right - placement.left,
                     placement.bottom - placement.top);
    window.setWindowState(Qt::WindowNoState);
    window.setGeometry(OnSomeScreen(rect));
    const bool maximised = placement.showState == WindowPlacement::kShowMaximized ||
                           (placement.showState == WindowPlacement::kShowMinimized &&
                            (placement.flags & WindowPlacement::kRestoreToMaximized) != 0);
    if (maximised)
        window.setWindowState(Qt::WindowMaximized);
}

} // namespace orvane
