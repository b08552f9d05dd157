#pragma once

#include <cstdint>
#include <termios.h>

namespace orvane::termios_line {

// The line format in termios terms. Compose changes tio only when every value is valid (else EINVAL).
std::int32_t Compose(termios& tio, std::uint32_t baud, int dataBits, int parity, int stopBits);

std::uint32_t Baud(const termios& tio); // 0 for a rate without a number
int DataBits(const termios& tio);
int Parity(const termios& tio);
int StopBits(const termios& tio);

} // namespace orvane::termios_line
