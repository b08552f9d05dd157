#pragma once

#include <cstdint>

namespace orvane {

// The line's error counters. Sample() turns new counts into line events (break, line-status error) and keeps
// their error bits pending until FetchAndClear(), as the driver's own error state would.
class LineErrorSource {
public:
    virtual ~LineErrorSource() = default;

    // False when the driver keeps no counters (a pseudo-terminal): nobody then polls for errors.
    virtual bool Available() const = 0;
    virtual std::uint32_t Sample() = 0;
    virtual std::uint32_t FetchAndClear() = 0;
};

} // namespace orvane
