#include "device/PortNames.h"

#include <algorithm>

namespace orvane {

void CompletePortNames(std::vector<SSerInfo>& ports) {
    for (SSerInfo& p : ports) {
        if (p.friendlyName.empty())
            p.friendlyName = p.portName;
        if (p.description.empty()) {
            p.description = p.friendlyName;
            const std::size_t open = p.description.find(" (");
            const std::size_t close = p.description.find(')');
            if (open != std::string::npos && open > 0 && close == p.description.size() - 1)
                p.description.erase(open);
        }
    }
}

std::string PortNameFromText(const std::string& text) {
    std::string t;
    std::copy_if(text.begin(), text.end(), std::back_inserter(t), [](char c) { return c != ' '; });
    for (const char* speed : {"(FAST)", "(NORMAL)"}) {
        const std::size_t at = t.find(speed);
        if (at != std::string::npos)
            t.erase(at);
    }
    const std::size_t open = t.rfind('(');
    if (open == std::string::npos)
        return t;
    const std::size_t close = t.find(')', open);
    return t.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

std::string DevicePathFromText(const std::string& text, const std::vector<SSerInfo>& ports) {
    const std::string name = PortNameFromText(text);
    for (const SSerInfo& p : ports) {
        if (p.portName == name)
            return p.devicePath;
    }
    return "/dev/" + name;
}

} // namespace orvane
