#pragma once

#include "panels/SpinAcceleration.h"

#include <QWidget>

#include <functional>

class QToolButton;

namespace orvane {

class Clock;

// The up and down arrows beside a coincidence edit. While an arrow is held its auto-repeat steps by what
// SpinAcceleration says for the time held on the injected clock, so Qt's own acceleration plays no part.
class CSpinButtons : public QWidget {
public:
    CSpinButtons(const Clock& clock, QWidget* parent = nullptr);

    // Called with +step or -step on every press and every auto-repeat.
    std::function<void(int delta)> onStep;

    QToolButton* Up() const { return up_; }
    QToolButton* Down() const { return down_; }

private:
    QToolButton* Arrow(Qt::ArrowType arrow, int direction);
    void OnPressed(int direction);
    void OnReleased(QToolButton* button);

    const Clock& clock_;
    SpinAcceleration acceleration_;
    bool held_ = false;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};

} // namespace orvane
