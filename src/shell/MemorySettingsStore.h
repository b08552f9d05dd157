#pragma once

#include "shell/SettingsStore.h"

#include <map>
#include <utility>

namespace orvane {

// Settings that live only as long as the object: for the command line, which keeps nothing between runs,
// and for tests.
class MemorySettingsStore : public SettingsStore {
public:
    bool GetString(const std::string& key, const std::string& name, std::string& value) const override;
    bool SetString(const std::string& key, const std::string& name, const std::string& value) override;

private:
    std::map<std::pair<std::string, std::string>, std::string> strings_;
};

} // namespace orvane
