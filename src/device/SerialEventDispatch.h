#pragma once

#include "device/LinkTransaction.h"
#include "shell/OutputLog.h"

#include <cstdint>

namespace orvane {

// What the main window does with a SerialEvent notification: line conditions become log lines, arriving
// data goes to the link's receive path, in this order.
void DispatchSerialEvent(std::uint32_t param, OutputLog& log, LinkTransaction& link);

} // namespace orvane
