#pragma once

#include <string>

namespace orvane {

// The per-user settings store, as the core sees it. Keys are written as they follow the program's root
// ("Software\\Orvane\\Orvane-MCA 8.50"), e.g. "\\ConfigOrvane\\LastPath"; each key holds named values.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // False, leaving value alone, when the key or the value is missing.
    virtual bool GetString(const std::string& key, const std::string& name, std::string& value) const = 0;
    // Creates the key when it is missing; false when the value could not be stored.
    virtual bool SetString(const std::string& key, const std::string& name, const std::string& value) = 0;
};

} // namespace orvane
