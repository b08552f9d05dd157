#include "panels/ui/CSpinButtons.h"

#include "shell/Clock.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace orvane {

CSpinButtons::CSpinButtons(const Clock& clock, QWidget* parent) : QWidget(parent), clock_(clock) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    up_ = Arrow(Qt::UpArrow, +1);
    down_ = Arrow(Qt::DownArrow, -1);
    column->addWidget(up_);
    column->addWidget(down_);
}

QToolButton* CSpinButtons::Arrow(Qt::ArrowType arrow, int direction) {
    auto* button = new QToolButton;
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(18, 11);
    // Qt's auto-repeat emits released, clicked and pressed again on every repeat while the button stays
    // down; the hold therefore begins at the first press and ends only when the button is really up.
    connect(button, &QToolButton::pressed, this, [this, direction] { OnPressed(direction); });
    connect(button, &QToolButton::released, this, [this, button] { OnReleased(button); });
    return button;
}

void CSpinButtons::OnPressed(int direction) {
    const std::int64_t now = clock_.MonotonicMs();
    if (!held_) {
        held_ = true;
        acceleration_.Press(now);
    }
    if (onStep)
        onStep(direction * acceleration_.Step(now));
}

void CSpinButtons::OnReleased(QToolButton* button) {
    if (button->isDown())
        return;
    held_ = false;
    acceleration_.Release();
}

} // namespace orvane
