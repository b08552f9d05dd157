#include "shell/ui/QtSettingsStore.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

#include <limits>

namespace orvane {

QtSettingsStore::QtSettingsStore(const QString& filePath) : settings_(filePath, QSettings::IniFormat) {}

QString QtSettingsStore::FileForRoot(const std::string& root) {
    QStringList parts = QString::fromStdString(root).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    // The registry's "Software" level has no counterpart in a config home.
    if (!parts.isEmpty() && parts.front() == QLatin1String("Software"))
        parts.removeFirst();
    if (parts.isEmpty())
        parts << QStringLiteral("settings");
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QLatin1Char('/') + parts.join(QLatin1Char('/')) + QStringLiteral(".ini");
}

QString QtSettingsStore::Group(const std::string& key) {
    return QString::fromStdString(key).split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

QString QtSettingsStore::Path(const std::string& key, const std::string& name) {
    const QString group = Group(key);
    const QString value = QString::fromStdString(name);
    return group.isEmpty() ? value : group + QLatin1Char('/') + value;
}

bool QtSettingsStore::Write(const QString& path, const QVariant& value) {
    settings_.setValue(path, value);
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

bool QtSettingsStore::GetString(const std::string& key, const std::string& name, std::string& value) const {
    const QVariant v = settings_.value(Path(key, name));
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray || !v.canConvert<QString>())
        return false;
    value = v.toString().toStdString();
    return true;
}

bool QtSettingsStore::SetString(const std::string& key, const std::string& name, const std::string& value) {
    return Write(Path(key, name), QString::fromStdString(value));
}

bool QtSettingsStore::KeyExists(const std::string& key) const {
    const QString group = Group(key);
    if (group.isEmpty())
        return !settings_.allKeys().isEmpty();
    // A group exists in the file only while it holds a value; an empty key has no written form.
    const QString prefix = group + QLatin1Char('/');
    for (const QString& k : settings_.allKeys())
        if (k.startsWith(prefix))
            return true;
    return false;
}

bool QtSettingsStore::GetNumber(const std::string& key, const std::string& name, std::uint32_t& value) const {
    const QVariant v = settings_.value(Path(key, name));
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray)
        return false;
    bool ok = false;
    const qlonglong n = v.toString().trimmed().toLongLong(&ok, 10);
    // Text that is no 32-bit number is no number value.
    if (!ok || n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::uint32_t>::max())
        return false;
    value = static_cast<std::uint32_t>(n);
    return true;
}

bool QtSettingsStore::SetNumber(const std::string& key, const std::string& name, std::uint32_t value) {
    return Write(Path(key, name), QVariant::fromValue(static_cast<quint32>(value)));
}

bool QtSettingsStore::GetBytes(const std::string& key, const std::string& name,
                               std::vector<std::uint8_t>& value) const {
    const QVariant v = settings_.value(Path(key, name));
    if (v.typeId() != QMetaType::QByteArray)
        return false;
    const QByteArray bytes = v.toByteArray();
    value.assign(bytes.begin(), bytes.end());
    return true;
}

bool QtSettingsStore::SetBytes(const std::string& key, const std::string& name,
                               std::span<const std::uint8_t> value) {
    const QByteArray bytes(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size()));
    return Write(Path(key, name), bytes);
}

} // namespace orvane
