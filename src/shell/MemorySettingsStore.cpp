#include "shell/MemorySettingsStore.h"

namespace orvane {

bool MemorySettingsStore::GetString(const std::string& key, const std::string& name,
                                    std::string& value) const {
    const auto it = strings_.find({key, name});
    if (it == strings_.end())
        return false;
    value = it->second;
    return true;
}

bool MemorySettingsStore::SetString(const std::string& key, const std::string& name,
                                    const std::string& value) {
    strings_[{key, name}] = value;
    return true;
}

} // namespace orvane
