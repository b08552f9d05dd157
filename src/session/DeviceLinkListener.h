#pragma once

#include <cstdint>

namespace orvane {

// What the device link tells the window and its panels. Every notification arrives on the behaviour
// thread, from inside the link's handlers: a listener that wants to ask the user posts the question.
class DeviceLinkListener {
public:
    virtual ~DeviceLinkListener() = default;

    // Connect begins: the time-stamp state resets, cached panel values are forgotten.
    virtual void OnConnectReset() {}
    // After the 200 ms settling wait of Connect: the panels' state flags are reset.
    virtual void OnPanelsReset() {}
    // Connect is done: show the spectrum pane and the shaper or PHA pane, make the buffer spectrum active.
    virtual void OnConnected() {}
    // The link was released ("Disconnected from hardware" follows).
    virtual void OnReleased() {}
    // A register read-back landed in the image: the refresh cycle (trace settings when not logging,
    // acquisition with platform detection, amplifier, shaper or PHA, register debug).
    virtual void OnRegistersRefreshed(bool loggerRunning) { (void)loggerRunning; }
    // A register write was accepted by the instrument.
    virtual void OnRegistersWritten() {}
    // A trace to show (the viewer processes and redraws it); runButtonReset when a single shot ended.
    virtual void OnTraceCaptured(bool runButtonReset) { (void)runButtonReset; }
    // "AUTO UPDATE" or the logger ENABLE box changed on the link's initiative.
    virtual void OnAutoUpdateChanged(bool on) { (void)on; }
    virtual void OnLoggerEnableCleared() {}
    // Every 200 ms tick: redraw the active plot and the information pane.
    virtual void OnLinkTick() {}
};

// The spectrum logger's part of the completion handling.
class LinkLoggerHooks {
public:
    virtual ~LinkLoggerHooks() = default;
    // The device's running bit fell while logging: returns true when the run end was taken (the rest of
    // the register-read handling is then skipped).
    virtual bool OnRunEnded() = 0;
    // A logger half spectrum was stored (phase 3 or 2).
    virtual void OnHalfStored() = 0;
    // The run-control write that precedes a restart completed (phase 1).
    virtual void OnRestartWriteDone() = 0;
};

} // namespace orvane
