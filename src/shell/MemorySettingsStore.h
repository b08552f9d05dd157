#pragma once

#include "shell/SettingsStore.h"

#include <map>
#include <set>
#include <utility>
#include <variant>

namespace orvane {

// Settings that live only as long as the object: for the command line, which keeps nothing between runs,
// and for tests. Keys behave as in a registry: a key exists once created, and creating a value creates
// its key.
class MemorySettingsStore : public SettingsStore {
public:
    bool GetString(const std::string& key, const std::string& name, std::string& value) const override;
    bool SetString(const std::string& key, const std::string& name, const std::string& value) override;
    bool KeyExists(const std::string& key) const override;
    bool GetNumber(const std::string& key, const std::string& name, std::uint32_t& value) const override;
    bool SetNumber(const std::string& key, const std::string& name, std::uint32_t value) override;
    bool GetBytes(const std::string& key, const std::string& name,
                  std::vector<std::uint8_t>& value) const override;
    bool SetBytes(const std::string& key, const std::string& name,
                  std::span<const std::uint8_t> value) override;

    // A key without values, as another program or an interrupted save may leave one.
    void CreateKey(const std::string& key) { keys_.insert(key); }
    void Remove(const std::string& key, const std::string& name) { values_.erase({key, name}); }
    std::size_t ValueCount() const { return values_.size(); }

private:
    using Value = std::variant<std::string, std::uint32_t, std::vector<std::uint8_t>>;

    template <typename T> bool Get(const std::string& key, const std::string& name, T& value) const;
    void Set(const std::string& key, const std::string& name, Value value);

    std::set<std::string> keys_;
    std::map<std::pair<std::string, std::string>, Value> values_;
};

} // namespace orvane
