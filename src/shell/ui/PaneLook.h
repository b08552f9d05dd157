#pragma once

#include <QColor>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

#include <string>

// What the form panes share: their light look, their groups, and texts set only when they changed (an
// unchanged text set again would move the caret while the user types).
namespace orvane::pane {

inline const QColor kBackground{220, 239, 250};
inline const QColor kFieldText{0, 50, 200};

inline void ApplyPalette(QWidget& widget) {
    QPalette look = widget.palette();
    look.setColor(QPalette::Window, kBackground);
    look.setColor(QPalette::Text, kFieldText);
    // Labels and group titles stay dark on the fixed light background whatever the theme.
    look.setColor(QPalette::WindowText, Qt::black);
    widget.setPalette(look);
    widget.setAutoFillBackground(true);
}

inline void Show(QLineEdit* field, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (field->text() != value)
        field->setText(value);
}

inline void Show(QLabel* label, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (label->text() != value)
        label->setText(value);
}

inline QGroupBox* Group(const char* title, QGridLayout*& grid) {
    auto* box = new QGroupBox(QString::fromLatin1(title));
    grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    return box;
}

} // namespace orvane::pane
