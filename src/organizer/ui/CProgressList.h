#pragma once

#include <QListWidget>

namespace kettrim {

// The progress list: keeps the newest 80 lines, widens its horizontal extent to the longest line (8 pixels a
// character, plus 8) and scrolls so that the newest lines show.
class CProgressList : public QListWidget {
    Q_OBJECT

public:
    static constexpr int kMaxLines = 80;
    static constexpr int kVisibleLines = 10;

    explicit CProgressList(QWidget* parent = nullptr);

    void AddProgressLine(const QString& line);
    int HorizontalExtent() const { return extent_; }

private:
    QSize ItemSize(const QString& line) const;

    int extent_ = 0;
};

} // namespace kettrim
