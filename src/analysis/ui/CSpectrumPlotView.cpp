#include "analysis/ui/CSpectrumPlotView.h"

#include "analysis/PeakAnalysis.h"
#include "spectrum/CSpectrum.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <optional>

namespace orvane {

namespace {

std::optional<ScrollAction> ToScrollAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollAction::LineBack;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollAction::LineForward;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollAction::PageBack;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollAction::PageForward;
    case QAbstractSlider::SliderMove:
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        return ScrollAction::Thumb;
    default:
        return std::nullopt;
    }
}

std::optional<PlotKey> ToPlotKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return PlotKey::Left;
    case Qt::Key_Right:
        return PlotKey::Right;
    case Qt::Key_Up:
        return PlotKey::Up;
    case Qt::Key_Down:
        return PlotKey::Down;
    case Qt::Key_Home:
        return PlotKey::Home;
    case Qt::Key_I:
        return PlotKey::ZoomIn;
    case Qt::Key_O:
        return PlotKey::ZoomOut;
    case Qt::Key_Space:
        return PlotKey::NextStyle;
    default:
        return std::nullopt;
    }
}

} // namespace

CSpectrumPlotView::CSpectrumPlotView(CSpectrum& record, QWidget* parent)
    : QWidget(parent), plot_(record), painter_(plot_), horizontal_(new QScrollBar(Qt::Horizontal, this)),
      vertical_(new QScrollBar(Qt::Vertical, this)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The right button marks and erases; it must not reach the main window's toolbar menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMinimumSize(120, 80);
    connect(horizontal_, &QAbstractSlider::actionTriggered, this, &CSpectrumPlotView::OnHorizontalAction);
    connect(vertical_, &QAbstractSlider::actionTriggered, this, &CSpectrumPlotView::OnVerticalAction);
    SyncScrollBars();
}

QSize CSpectrumPlotView::ClientSize() const {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(std::max(width() - bar, 1), std::max(height() - bar, 1));
}

void CSpectrumPlotView::RequestFullRedraw() {
    plot_.RequestFullRedraw();
}

void CSpectrumPlotView::Refresh() {
    const QRect dirty = painter_.Update(ClientSize());
    if (!dirty.isEmpty())
        update(dirty);
    SyncScrollBars();
    UpdateStatus();
}

void CSpectrumPlotView::SyncScrollBars() {
    const ScrollRange h = plot_.Horizontal();
    const ScrollRange v = plot_.Vertical();
    const QSignalBlocker blockH(horizontal_), blockV(vertical_);
    horizontal_->setRange(h.minimum, h.maximum);
    horizontal_->setPageStep(h.page);
    horizontal_->setSingleStep(std::max(h.page >> 4, 1));
    horizontal_->setValue(h.position);
    vertical_->setRange(v.minimum, v.maximum);
    vertical_->setPageStep(v.page);
    vertical_->setValue(v.position);
}

void CSpectrumPlotView::UpdateStatus() {
    CSpectrum& record = plot_.Record();
    const QString cursor = QString::fromStdString(plot_.CursorStatusText());
    AnalysePeak(record);
    const QString roi = QString::fromStdString(RoiStatusText(record.Peak()));
    if (cursor != cursorStatus_) {
        cursorStatus_ = cursor;
        emit cursorStatusChanged(cursorStatus_);
    }
    if (roi != roiStatus_) {
        roiStatus_ = roi;
        emit roiStatusChanged(roiStatus_);
    }
}

void CSpectrumPlotView::AfterInput() {
    if (plot_.PointerHidden())
        setCursor(Qt::BlankCursor);
    else
        unsetCursor();
    Refresh();
    if (plot_.Record().Cursor() != lastCursor_ || plot_.MarksVersion() != lastMarks_) {
        lastCursor_ = plot_.Record().Cursor();
        lastMarks_ = plot_.MarksVersion();
        emit cursorMoved();
    }
}

void CSpectrumPlotView::paintEvent(QPaintEvent* event) {
    if (painter_.Canvas().size() != ClientSize() || plot_.NeedsFullRedraw())
        painter_.DrawFull(ClientSize());
    QPainter p(this);
    const QRect area = event->rect() & painter_.Canvas().rect();
    p.drawImage(area, painter_.Canvas(), area);
    // The corner between the two scroll bars.
    const QRect corner(ClientSize().width(), ClientSize().height(), width(), height());
    p.fillRect(corner & event->rect(), palette().window());
}

void CSpectrumPlotView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize client = ClientSize();
    horizontal_->setGeometry(0, client.height(), client.width(), height() - client.height());
    vertical_->setGeometry(client.width(), 0, width() - client.width(), client.height());
    plot_.SetClientRect(0, 0, client.width(), client.height());
    SyncScrollBars();
}

void CSpectrumPlotView::mousePressEvent(QMouseEvent* event) {
    const int x = static_cast<int>(event->position().x());
    if (event->button() == Qt::LeftButton)
        plot_.LeftButtonDown(x);
    else if (event->button() == Qt::RightButton)
        plot_.RightButtonDown(x);
    else
        return QWidget::mousePressEvent(event);
    AfterInput();
}

void CSpectrumPlotView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        plot_.LeftButtonUp();
    else if (event->button() == Qt::RightButton)
        plot_.RightButtonUp();
    else
        return QWidget::mouseReleaseEvent(event);
    AfterInput();
}

void CSpectrumPlotView::mouseMoveEvent(QMouseEvent* event) {
    if (!plot_.Captured())
        return;
    plot_.MouseMove(static_cast<int>(event->position().x()));
    AfterInput();
}

void CSpectrumPlotView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        plot_.LeftDoubleClick();
    else if (event->button() == Qt::RightButton)
        plot_.RightDoubleClick();
    else
        return QWidget::mouseDoubleClickEvent(event);
    AfterInput();
}

void CSpectrumPlotView::wheelEvent(QWheelEvent* event) {
    // Fine-grained wheels and touchpads send fractions of a notch: only whole notches step the scale.
    wheelDelta_ += event->angleDelta().y();
    const int steps = wheelDelta_ / 120;
    wheelDelta_ -= steps * 120;
    if (steps != 0)
        plot_.Wheel(steps);
    event->accept();
    AfterInput();
}

void CSpectrumPlotView::keyPressEvent(QKeyEvent* event) {
    const std::optional<PlotKey> key = ToPlotKey(event->key());
    const Qt::KeyboardModifiers mods = event->modifiers();
    // Other Ctrl combinations belong to the window's accelerators.
    if (!key || ((mods & Qt::ControlModifier) && *key != PlotKey::Left && *key != PlotKey::Right))
        return QWidget::keyPressEvent(event);
    plot_.KeyDown(*key, mods & Qt::ShiftModifier, mods & Qt::ControlModifier);
    AfterInput();
}

void CSpectrumPlotView::keyReleaseEvent(QKeyEvent* event) {
    // Qt reports a held key as release and press pairs; only the real release ends a repeat.
    if (event->isAutoRepeat())
        return;
    plot_.KeyUp();
    QWidget::keyReleaseEvent(event);
}

void CSpectrumPlotView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    CSpectrum& record = plot_.Record();
    record.SetSizes(record.HardSize(), record.SoftSize());
    record.SetNeedsRefresh(true);
    Refresh();
    emit focused();
}

void CSpectrumPlotView::OnHorizontalAction(int action) {
    if (const auto a = ToScrollAction(action)) {
        plot_.HorizontalScroll(*a, horizontal_->sliderPosition());
        horizontal_->setSliderPosition(plot_.Horizontal().position);
        AfterInput();
    }
}

void CSpectrumPlotView::OnVerticalAction(int action) {
    if (const auto a = ToScrollAction(action)) {
        plot_.VerticalScroll(*a, vertical_->sliderPosition());
        vertical_->setSliderPosition(plot_.Vertical().position);
        AfterInput();
    }
}

} // namespace orvane
