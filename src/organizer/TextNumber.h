#pragma once

#include <cstdint>
#include <string_view>

namespace kettrim {

// Numbers in the files are read the way the C library reads them (atoi, strtoul): leading white space is
// skipped, a sign is accepted, digits stop at the first other character, and text without digits reads
// as 0. Values are 32-bit: out-of-range text saturates as strtol and strtoul do where long is 32 bits.
std::int32_t ParseSigned32(std::string_view text);
std::uint32_t ParseUnsigned32(std::string_view text);

} // namespace kettrim
