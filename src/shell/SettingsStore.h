#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvane {

// The per-user settings store, as the core sees it. Keys are written as they follow the program's root
// ("Software\\Orvane\\Orvane-MCA 8.50"), e.g. "\\ConfigOrvane\\LastPath"; each key holds named values of
// one of three types: text, 32-bit numbers and raw bytes. A value read as another type than it was stored
// as counts as missing.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // False, leaving value alone, when the key or the value is missing.
    virtual bool GetString(const std::string& key, const std::string& name, std::string& value) const = 0;
    // Creates the key when it is missing; false when the value could not be stored.
    virtual bool SetString(const std::string& key, const std::string& name, const std::string& value) = 0;

    // Whether the key can be opened for reading: it was created, or holds values or keys of its own.
    virtual bool KeyExists(const std::string& key) const = 0;

    virtual bool GetNumber(const std::string& key, const std::string& name, std::uint32_t& value) const = 0;
    virtual bool SetNumber(const std::string& key, const std::string& name, std::uint32_t value) = 0;

    // The whole stored value, whatever its length.
    virtual bool GetBytes(const std::string& key, const std::string& name,
                          std::vector<std::uint8_t>& value) const = 0;
    virtual bool SetBytes(const std::string& key, const std::string& name,
                          std::span<const std::uint8_t> value) = 0;
};

} // namespace orvane
