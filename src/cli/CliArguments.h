#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace orvane {

// The port options every port subcommand takes, and a small option reader for the rest.
struct PortArguments {
    std::string port;
    std::uint32_t baud = 921600; // --speed fast; normal is 460800
};

class CliArguments {
public:
    // flags: options without a value; valued: options that take one. Anything else is an error.
    CliArguments(const std::vector<std::string>& args, const std::set<std::string>& flags,
                 const std::set<std::string>& valued);

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    bool Has(const std::string& name) const;
    std::string Value(const std::string& name, const std::string& fallback = "") const;
    const std::vector<std::string>& Positional() const { return positional_; }

    // The option's value as a whole decimal number in min..max; false when it is anything else.
    bool Number(const std::string& name, long min, long max, long& value) const;
    // Reads --port and --speed; false with a message when they are missing or wrong.
    bool Port(PortArguments& port, std::string& error) const;

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> positional_;
    std::string error_;
};

} // namespace orvane
