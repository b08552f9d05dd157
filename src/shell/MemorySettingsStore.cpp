#include "shell/MemorySettingsStore.h"

namespace orvane {

namespace {

// "\\A\\B" lies under "\\A" (and under itself), but "\\AB" does not.
bool LiesUnder(const std::string& key, const std::string& parent) {
    return key.compare(0, parent.size(), parent) == 0 &&
           (key.size() == parent.size() || key[parent.size()] == '\\');
}

} // namespace

template <typename T>
bool MemorySettingsStore::Get(const std::string& key, const std::string& name, T& value) const {
    const auto it = values_.find({key, name});
    if (it == values_.end())
        return false;
    const T* stored = std::get_if<T>(&it->second);
    if (stored == nullptr)
        return false;
    value = *stored;
    return true;
}

void MemorySettingsStore::Set(const std::string& key, const std::string& name, Value value) {
    keys_.insert(key);
    values_[{key, name}] = std::move(value);
}

bool MemorySettingsStore::GetString(const std::string& key, const std::string& name,
                                    std::string& value) const {
    return Get(key, name, value);
}

bool MemorySettingsStore::SetString(const std::string& key, const std::string& name,
                                    const std::string& value) {
    Set(key, name, value);
    return true;
}

bool MemorySettingsStore::KeyExists(const std::string& key) const {
    for (const std::string& k : keys_)
        if (LiesUnder(k, key))
            return true;
    return false;
}

bool MemorySettingsStore::GetNumber(const std::string& key, const std::string& name,
                                    std::uint32_t& value) const {
    return Get(key, name, value);
}

bool MemorySettingsStore::SetNumber(const std::string& key, const std::string& name, std::uint32_t value) {
    Set(key, name, value);
    return true;
}

bool MemorySettingsStore::GetBytes(const std::string& key, const std::string& name,
                                   std::vector<std::uint8_t>& value) const {
    return Get(key, name, value);
}

bool MemorySettingsStore::SetBytes(const std::string& key, const std::string& name,
                                   std::span<const std::uint8_t> value) {
    Set(key, name, std::vector<std::uint8_t>(value.begin(), value.end()));
    return true;
}

} // namespace orvane
