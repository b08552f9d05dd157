#pragma once

#include <string>
#include <string_view>

namespace kettrim {

// The "File Counter Increment" as typed: valid from 1 to 10000. A value out of range is brought into range;
// text that is not an integer has no value.
struct IncrementEntry {
    enum class Status { Valid, NotAnInteger, OutOfRange };

    Status status = Status::Valid;
    int value = 1;

    static IncrementEntry Read(std::string_view text);
    // "Enter an integer." or "Enter an integer between 1 and 10000."; empty when valid.
    std::string Message() const;
};

} // namespace kettrim
