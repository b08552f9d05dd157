#pragma once

#include "device/LineErrorSource.h"

#include <atomic>

namespace orvane {

// Error counters of a tty driver through TIOCGICOUNT; reports nothing where the driver has none.
class IcountLineErrors : public LineErrorSource {
public:
    // Takes the current counts as the baseline; -1 detaches.
    void Attach(int fd);

    bool Available() const override { return fd_ >= 0 && available_; }
    std::uint32_t Sample() override;
    std::uint32_t FetchAndClear() override;

private:
    struct Counts {
        int frame = 0, overrun = 0, parity = 0, brk = 0, bufferOverrun = 0;
    };
    bool Read(Counts& counts) const;

    int fd_ = -1;
    bool available_ = false;
    Counts last_{};
    std::atomic<std::uint32_t> pending_{0};
};

} // namespace orvane
