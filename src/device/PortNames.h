#pragma once

#include "device/SSerInfo.h"

#include <string>
#include <vector>

namespace orvane {

// Fills the names an enumeration left empty: no friendly name → the port name; no description → the
// friendly name, cut before " (" when the text ends with its first ")".
void CompletePortNames(std::vector<SSerInfo>& ports);

// The port name a list text names: blanks removed, cut at "(FAST)" or "(NORMAL)", then the text inside the
// last parentheses (the whole text when there are none).
std::string PortNameFromText(const std::string& text);

// The device path for a list text: the enumerated port with that name, else /dev/ + the name.
std::string DevicePathFromText(const std::string& text, const std::vector<SSerInfo>& ports);

} // namespace orvane
