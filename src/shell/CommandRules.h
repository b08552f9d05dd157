#pragma once

namespace orvane {

// The main frame's commands whose enabled or checked state depends on the session.
enum class Command {
    Port,
    AutoConnect,
    Connect,
    Disconnect,
    CopyRegistersBufferToFile,
    CopyRegistersFileToBuffer,
    AboutHardware,
    Start,
    Stop,
    Erase,
    PanelStart,
    PanelStop,
    PanelTimeStamp,
};

// What the rules look at, gathered from the session each time the window is idle.
struct SessionView {
    bool bufferActive = true;
    bool linkOpen = false;
    bool loggerRunning = false;
    bool deviceRunning = false; // bit 0 of the buffer spectrum's register 16
};

// When each command is enabled: hardware commands only while the buffer spectrum is shown; Start while
// nothing runs, Stop while the device runs; the panel's buttons without the shown-record condition.
bool CommandEnabled(Command command, const SessionView& view);

} // namespace orvane
