#pragma once

#include "device/CSerialMFC.h"
#include "device/LinkTransaction.h"
#include "session/DeviceIdentity.h"
#include "session/DeviceLinkListener.h"
#include "session/SamplePeriod.h"
#include "session/Spectra.h"
#include "session/TraceCapture.h"
#include "shell/Host.h"
#include "shell/OutputLog.h"
#include "shell/Poster.h"

#include <array>
#include <functional>
#include <string>

namespace orvane {

// The one object through which the analyzer drives the instrument. Polling is driven by replies: while
// "AUTO UPDATE" is on, every accepted reply asks for the next read, and requests made while a command is
// on the wire wait in one of 23 slots that a round-robin cursor serves one per completion.
class DeviceLink : public LinkTransactionClient, public SerialWindow, public SerialMessageSink {
public:
    static constexpr int kSlots = 23;
    enum Slot : int {
        kSlotChunk = 1,
        kSlotParameters = 3,
        kSlotAllRegisters = 4,
        kSlotTrace = 8,
        kSlotRegisters = 12,
        kSlotRunControl = 16
    };
    static constexpr std::int64_t kBreakMs = 100;
    static constexpr std::int64_t kSettleMs = 200;
    static constexpr std::int64_t kReleaseMs = 100;

    DeviceLink(Spectra& spectra, OutputLog& log, Poster& poster, Host& host, DeviceIdentity& identity);
    ~DeviceLink() override;

    // The port Connect opens: its device path, the name shown to the user, the baud rate.
    void SetPort(const std::string& devicePath, const std::string& portName, std::uint32_t baud);
    const std::string& PortName() const { return portName_; }
    std::uint32_t Baud() const { return baud_; }

    // Starters: send at once when the link is free, else only set their slot.
    void ReadSpectrumChunk();
    void ReadRegisters(int start, int count, int destination = 0);
    void RefreshRegisters();
    void ReadTrace();
    void WriteRunControl();
    void WriteParameters();
    void WriteAllRegisters();

    void ConnectDevice();
    void ReleaseDevice();
    // The Disconnect command.
    void Disconnect();
    // The 200 ms link timer.
    void OnLinkTimer();

    // LinkTransactionClient
    int PlatformCode() const override { return spectra_.buffer.PlatformCode(); }
    void StoreReadings(const Readings& readings) override { spectra_.buffer.StoreReadings(readings); }
    void OnCommandComplete() override;
    void OnCommunicationTimeout() override { ReleaseDevice(); }

    // SerialWindow / SerialMessageSink: notifications from the port's event thread.
    SerialWindowHandle GetSafeHandle() override { return {&poster_, this}; }
    void OnSerialMessage(std::uint32_t message, std::uint32_t param, std::intptr_t userValue) override;
    // While events are muted (the FPGA exchange borrows the line) notifications go here instead.
    void SetMutedEventSink(std::function<void(std::uint32_t)> sink) { mutedSink_ = std::move(sink); }

    // State the window and panels bind to.
    bool LinkOpen() const { return linkOpen_; }
    bool Responding() const { return link_.Responding(); }
    bool Busy() const { return link_.Busy(); }
    bool PortOpen() const { return portOpen_; }
    void SetPortOpen(bool open) { portOpen_ = open; }
    bool EventsMuted() const { return eventsMuted_; }
    void SetEventsMuted(bool muted) { eventsMuted_ = muted; }
    bool AutoUpdate() const { return autoUpdate_; }
    // The "AUTO UPDATE" box: checking it restarts the chain with a register refresh.
    void SetAutoUpdate(bool on);
    bool LoggerRunning() const { return loggerRunning_; }
    // When logging ends, an edit composed meanwhile was never sent: the image is settled again, or
    // read-backs would stay ignored until some later write.
    void SetLoggerRunning(bool running) {
        if (loggerRunning_ && !running)
            spectra_.buffer.Image().SetSettled(true);
        loggerRunning_ = running;
    }
    int LoggerPhase() const { return loggerPhase_; }
    void SetLoggerPhase(int phase) { loggerPhase_ = phase; }
    bool RunningFlag() const { return running_; }
    bool SlotSet(int slot) const { return slots_[static_cast<std::size_t>(slot)]; }
    int Cursor() const { return cursor_; }
    void SetCursor(int cursor) { cursor_ = cursor; }
    int ChunkStart() const { return chunkStart_; }
    long Ticks() const { return ticks_; }
    // Replies accepted since the link was made.
    long Completions() const { return completions_; }
    // "Hardware Spectrum @ name" while connected, else "Hardware Spectrum".
    std::string BufferCaption() const;

    Spectra& Records() { return spectra_; }
    TraceCapture& Trace() { return trace_; }
    SamplePeriod& Period() { return period_; }
    const SamplePeriod& Period() const { return period_; }
    CSerialMFC& Port() { return port_; }
    LinkTransaction& Transaction() { return link_; }
    void SetListener(DeviceLinkListener* listener) { listener_ = listener; }
    void SetLoggerHooks(LinkLoggerHooks* hooks) { logger_ = hooks; }

    // The port finder borrows the link. CloseForSearch drops the main connection; each probe opens a
    // port on the link's own serial port with a fresh transaction state (nothing left busy or queued
    // from an earlier port), and the main time-out stays out of the way while the search runs.
    void CloseForSearch();
    bool OpenProbe(const std::string& devicePath, std::uint32_t baud);
    void SendProbe() { ReadRegisters(1, 127); }
    void CloseProbe();
    bool ProbeAnswered() const { return !link_.ReadError(); }
    void SetSearching(bool searching) { searching_ = searching; }

    // Derives the sample period from the active spectrum (a refresh cycle begins).
    void DerivePeriod();

private:
    void StoreSpectrumChunk();
    void CompleteRegisterRead();
    void CompleteRegisterWrite();
    void CompleteTraceRead();
    void ServeOneRequest();
    void RunSlot(int slot);
    void SendWrite(int firstRegister, int count, const RegisterImage::Bank& bank);
    void ShowLater(const std::string& text, MessageIcon icon);
    void ConnectAfterBreak(unsigned generation);
    void ConnectAfterSettle(unsigned generation);
    void FinishRelease(unsigned generation);
    void ClearSlots() { slots_.fill(false); }

    Spectra& spectra_;
    OutputLog& log_;
    Poster& poster_;
    Host& host_;
    DeviceIdentity& identity_;
    CSerialMFC port_;
    LinkTransaction link_;
    TraceCapture trace_;
    SamplePeriod period_;
    DeviceLinkListener* listener_ = nullptr;
    LinkLoggerHooks* logger_ = nullptr;
    std::function<void(std::uint32_t)> mutedSink_;

    std::string devicePath_;
    std::string portName_;
    std::uint32_t baud_ = 921600;
    std::array<bool, kSlots> slots_{};
    int cursor_ = 0;
    int chunkCounter_ = 0;
    int chunkStart_ = 0;
    int chunkFirst_ = 0;    // first channel of the outstanding chunk read
    int chunkChannels_ = 0; // its channel count
    int readStart_ = 1;
    int savedStart_ = 1, savedCount_ = 127, savedDestination_ = 0;
    bool readPending_ = false;
    bool linkOpen_ = false;
    bool portOpen_ = false;
    bool eventsMuted_ = true;
    bool autoUpdate_ = false;
    bool loggerRunning_ = false;
    int loggerPhase_ = 0;
    bool running_ = false;
    bool previousRunning_ = false;
    long ticks_ = 0;
    long completions_ = 0;
    unsigned generation_ = 0; // cancels the timed steps of an earlier Connect or release
    bool searching_ = false;
};

} // namespace orvane
