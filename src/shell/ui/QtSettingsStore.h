#pragma once

#include "shell/SettingsStore.h"

#include <QSettings>
#include <QString>

namespace orvane {

// The settings store of the window: one INI file. A key such as "\\Orvane-MCA\\Spectrum" becomes the group
// "Orvane-MCA/Spectrum"; numbers are written as unsigned 32-bit decimal text, raw bytes as QSettings byte
// arrays, so they come back byte for byte. Every write reaches the file at once.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& filePath);

    // The file for a settings root under the XDG config home: "Software\\Orvane\\Orvane-MCA 8.50" lies in
    // $XDG_CONFIG_HOME/Orvane/Orvane-MCA 8.50.ini (~/.config when the variable is not set).
    static QString FileForRoot(const std::string& root);

    QString FilePath() const { return settings_.fileName(); }

    bool GetString(const std::string& key, const std::string& name, std::string& value) const override;
    bool SetString(const std::string& key, const std::string& name, const std::string& value) override;
    bool KeyExists(const std::string& key) const override;
    bool GetNumber(const std::string& key, const std::string& name, std::uint32_t& value) const override;
    bool SetNumber(const std::string& key, const std::string& name, std::uint32_t value) override;
    bool GetBytes(const std::string& key, const std::string& name,
                  std::vector<std::uint8_t>& value) const override;
    bool SetBytes(const std::string& key, const std::string& name,
                  std::span<const std::uint8_t> value) override;

private:
    static QString Group(const std::string& key);
    static QString Path(const std::string& key, const std::string& name);
    bool Write(const QString& path, const QVariant& value);

    QSettings settings_;
};

} // namespace orvane
