#pragma once

#include <string>

namespace kettrim {

// The two input types, told apart by the first file's extension; letter case does not matter ("QXS" is a
// single-spectrum file). Every extension other than qxs is read as the four-spectrum type, but only "qps"
// gets the four-segment output layout.
bool IsSingleSpectrumType(const std::string& extension);
bool IsFourSegmentType(const std::string& extension);

// Channels of one spectrum of the type: 16384 for qxs, 4096 for the four-spectrum type.
int SpectrumChannels(const std::string& extension);

} // namespace kettrim
