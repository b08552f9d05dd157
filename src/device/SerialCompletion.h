#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane {

class CSerial;

// A completion record: an operation started with one returns at once (kIoPending when it could not finish
// yet) and the caller finishes it later with CSerial::GetResult.
struct SerialCompletion {
    enum class Kind { None, Read, Write, Event };

    Kind kind = Kind::None;
    bool complete = false;
    std::int32_t status = 0;
    std::size_t transferred = 0; // bytes read or written so far
    std::uint32_t events = 0;    // for an event wait

    // What is still to do while incomplete.
    void* readBuffer = nullptr;
    const void* writeData = nullptr;
    std::size_t length = 0;
};

} // namespace orvane
