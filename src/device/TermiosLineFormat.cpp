#include "device/TermiosLineFormat.h"

#include "device/SerialStatus.h"

#include <cerrno>

namespace orvane::termios_line {

using namespace serial;

namespace {

struct BaudEntry {
    std::uint32_t baud;
    speed_t speed;
};

constexpr BaudEntry kBauds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedOf(std::uint32_t baud, speed_t& speed) {
    for (const BaudEntry& e : kBauds) {
        if (e.baud == baud) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

std::uint32_t BaudOf(speed_t speed) {
    for (const BaudEntry& e : kBauds) {
        if (e.speed == speed)
            return e.baud;
    }
    return 0;
}

} // namespace

std::int32_t Compose(termios& tio, std::uint32_t baud, int dataBits, int parity, int stopBits) {
    speed_t speed{};
    if (!SpeedOf(baud, speed) || dataBits < 5 || dataBits > 8 || parity < kParityNone ||
        parity > kParitySpace)
        return EINVAL;
    // One and a half stop bits exist only with five data bits; the UART then takes CSTOPB as 1.5.
    if (stopBits < kStopOne || stopBits > kStopTwo || (stopBits == kStopOneAndHalf && dataBits != 5))
        return EINVAL;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag = (tio.c_cflag & ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB)) | kSizes[dataBits - 5];
    if (parity == kParityOdd)
        tio.c_cflag |= PARENB | PARODD;
    else if (parity == kParityEven)
        tio.c_cflag |= PARENB;
    else if (parity == kParityMark)
        tio.c_cflag |= PARENB | CMSPAR | PARODD;
    else if (parity == kParitySpace)
        tio.c_cflag |= PARENB | CMSPAR;
    if (stopBits != kStopOne)
        tio.c_cflag |= CSTOPB;
    // Parity is checked exactly when there is one.
    if (parity != kParityNone)
        tio.c_iflag |= INPCK;
    else
        tio.c_iflag &= ~INPCK;
    return kSuccess;
}

std::uint32_t Baud(const termios& tio) {
    return BaudOf(cfgetospeed(&tio));
}

int DataBits(const termios& tio) {
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

int Parity(const termios& tio) {
    if (!(tio.c_cflag & PARENB))
        return kParityNone;
    if (tio.c_cflag & CMSPAR)
        return (tio.c_cflag & PARODD) ? kParityMark : kParitySpace;
    return (tio.c_cflag & PARODD) ? kParityOdd : kParityEven;
}

int StopBits(const termios& tio) {
    if (!(tio.c_cflag & CSTOPB))
        return kStopOne;
    return (tio.c_cflag & CSIZE) == CS5 ? kStopOneAndHalf : kStopTwo;
}

} // namespace orvane::termios_line
