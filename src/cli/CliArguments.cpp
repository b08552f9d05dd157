#include "cli/CliArguments.h"

#include <cstdlib>

namespace orvane {

CliArguments::CliArguments(const std::vector<std::string>& args, const std::set<std::string>& flags,
                           const std::set<std::string>& valued) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (flags.count(arg)) {
            flags_.insert(arg);
        } else if (valued.count(arg)) {
            if (i + 1 >= args.size()) {
                error_ = "missing value for " + arg;
                return;
            }
            values_[arg] = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            error_ = "unknown option: " + arg;
            return;
        } else {
            positional_.push_back(arg);
        }
    }
}

bool CliArguments::Has(const std::string& name) const {
    return flags_.count(name) || values_.count(name);
}

std::string CliArguments::Value(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

bool CliArguments::Number(const std::string& name, long min, long max, long& value) const {
    const std::string text = Value(name);
    // Nine digits at most, so the value fits before it is compared.
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= min && value <= max;
}

bool CliArguments::Port(PortArguments& port, std::string& error) const {
    port.port = Value("--port");
    if (port.port.empty()) {
        error = "--port PATH is required";
        return false;
    }
    const std::string speed = Value("--speed", "fast");
    if (speed == "fast") {
        port.baud = 921600;
    } else if (speed == "normal") {
        port.baud = 460800;
    } else {
        error = "--speed must be fast or normal";
        return false;
    }
    return true;
}

} // namespace orvane
