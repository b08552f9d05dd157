#include "shell/ui/QtWindowLayout.h"

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QMainWindow>
#include <QToolBar>

namespace orvane {

namespace {

// Raised whenever the meaning of the layout changes, so an older layout is refused rather than misread.
constexpr int kLayoutVersion = 1;
constexpr qint32 kStateMarker = 0xff;
constexpr quint32 kToolbarMagic = 0x4F544253; // "OTBS"
constexpr quint32 kToolbarVersion = 1;

std::vector<std::uint8_t> ToBytes(const QByteArray& a) {
    return {a.begin(), a.end()};
}

QByteArray FromBytes(std::span<const std::uint8_t> bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

struct ToolbarEntry {
    QString name;
    qint32 area = 0;
    bool visible = true;
};

bool IsDockArea(qint32 area) {
    return area == Qt::LeftToolBarArea || area == Qt::RightToolBarArea || area == Qt::TopToolBarArea ||
           area == Qt::BottomToolBarArea;
}

} // namespace

std::vector<std::uint8_t> QtWindowLayout::SaveLayout(const QMainWindow& window) {
    return ToBytes(window.saveState(kLayoutVersion));
}

bool QtWindowLayout::RestoreLayout(QMainWindow& window, std::span<const std::uint8_t> bytes) {
    return !bytes.empty() && window.restoreState(FromBytes(bytes), kLayoutVersion);
}

bool QtWindowLayout::IsCurrentLayout(std::span<const std::uint8_t> bytes) {
    // QMainWindow's state opens with a marker and the version it was saved with.
    const QByteArray in = FromBytes(bytes);
    QDataStream stream(in);
    qint32 marker = 0, version = 0;
    stream >> marker >> version;
    return stream.status() == QDataStream::Ok && marker == kStateMarker && version == kLayoutVersion;
}

std::vector<std::uint8_t> QtWindowLayout::SaveToolbarState(const QMainWindow& window) {
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    const auto toolbars = window.findChildren<QToolBar*>();
    stream << kToolbarMagic << kToolbarVersion << static_cast<qint32>(toolbars.size());
    for (const QToolBar* toolbar : toolbars)
        stream << toolbar->objectName() << static_cast<qint32>(window.toolBarArea(toolbar))
               << !toolbar->isHidden();
    return ToBytes(out);
}

bool QtWindowLayout::RestoreToolbarState(QMainWindow& window, std::span<const std::uint8_t> bytes) {
    const QByteArray in = FromBytes(bytes);
    QDataStream stream(in);
    stream.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0;
    qint32 count = 0;
    stream >> magic >> version >> count;
    if (stream.status() != QDataStream::Ok || magic != kToolbarMagic || version != kToolbarVersion ||
        count < 0)
        return false;
    std::vector<ToolbarEntry> entries;
    for (qint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        ToolbarEntry e;
        stream >> e.name >> e.area >> e.visible;
        entries.push_back(e);
    }
    if (stream.status() != QDataStream::Ok)
        return false;
    for (const ToolbarEntry& e : entries) {
        QToolBar* toolbar = e.name.isEmpty() ? nullptr : window.findChild<QToolBar*>(e.name);
        if (toolbar == nullptr)
            continue;
        const auto area = static_cast<Qt::ToolBarArea>(e.area);
        if (IsDockArea(e.area) && window.toolBarArea(toolbar) != area)
            window.addToolBar(area, toolbar);
        toolbar->setVisible(e.visible);
    }
    return true;
}

} // namespace orvane
