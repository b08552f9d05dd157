#include "device/IcountLineErrors.h"

#include "device/SerialStatus.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace orvane {

void IcountLineErrors::Attach(int fd) {
    fd_ = fd;
    pending_ = 0;
    available_ = fd >= 0 && Read(last_);
}

bool IcountLineErrors::Read(Counts& counts) const {
    serial_icounter_struct ic{};
    if (ioctl(fd_, TIOCGICOUNT, &ic) != 0)
        return false;
    counts = Counts{ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
    return true;
}

std::uint32_t IcountLineErrors::Sample() {
    Counts now{};
    if (!Available() || !Read(now))
        return 0;
    std::uint32_t errors = 0;
    if (now.frame != last_.frame)
        errors |= serial::kErrorFrame;
    if (now.overrun != last_.overrun)
        errors |= serial::kErrorOverrun;
    if (now.parity != last_.parity)
        errors |= serial::kErrorParity;
    if (now.bufferOverrun != last_.bufferOverrun)
        errors |= serial::kErrorReceiveOverflow;
    if (now.brk != last_.brk)
        errors |= serial::kErrorBreak;
    last_ = now;
    pending_ |= errors;
    std::uint32_t events = 0;
    if (errors & serial::kErrorBreak)
        events |= serial::kEventBreak;
    if (errors & ~serial::kErrorBreak)
        events |= serial::kEventLineError;
    return events;
}

std::uint32_t IcountLineErrors::FetchAndClear() {
    return pending_.exchange(0);
}

} // namespace orvane
