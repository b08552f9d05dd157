#pragma once

#include <string>

namespace orvane {

// printf into a string of whatever length the conversion produces.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace orvane
