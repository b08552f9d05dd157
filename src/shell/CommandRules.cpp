#include "shell/CommandRules.h"

namespace orvane {

bool CommandEnabled(Command command, const SessionView& v) {
    const bool startable = v.linkOpen && !v.loggerRunning && !v.deviceRunning;
    const bool stoppable = v.linkOpen && !v.loggerRunning && v.deviceRunning;
    switch (command) {
    case Command::Port:
    case Command::Erase:
        return v.bufferActive;
    case Command::AutoConnect:
    case Command::Connect:
        return v.bufferActive && !v.linkOpen;
    case Command::Disconnect:
        return v.bufferActive && v.linkOpen;
    case Command::CopyRegistersBufferToFile:
    case Command::CopyRegistersFileToBuffer:
    case Command::AboutHardware:
        return v.linkOpen;
    case Command::Start:
        return v.bufferActive && startable;
    case Command::Stop:
        return v.bufferActive && stoppable;
    case Command::PanelStart:
        return startable;
    case Command::PanelStop:
        return stoppable;
    case Command::PanelTimeStamp:
        return !v.linkOpen || startable;
    }
    return false;
}

} // namespace orvane
