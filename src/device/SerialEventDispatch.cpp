#include "device/SerialEventDispatch.h"

#include "device/SerialStatus.h"

namespace orvane {

using namespace serial;

void DispatchSerialEvent(std::uint32_t param, OutputLog& log, LinkTransaction& link) {
    const std::uint32_t errors = param >> 16;
    const std::uint32_t events = param & 0xFFFFu;
    if (errors != 0)
        log.AddLine("An internal error occurred.");
    if (events & kEventBreak)
        log.AddLine("Break detected on input.");
    if (events & kEventLineError)
        log.AddLine("A line-status error occurred.");
    if (events & kEventCharacter)
        log.AddLine("Event character has been received.");
    if (events & kEventReceived)
        link.OnDataReceived();
    if (events & kEventRing)
        log.AddLine("Ring detected.");
    if (events & kEventTransmitEmpty)
        log.AddLine("All data sent.");
}

} // namespace orvane
