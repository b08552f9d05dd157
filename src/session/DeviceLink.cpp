#include "session/DeviceLink.h"

#include "device/SerialEventDispatch.h"
#include "session/ParameterMap.h"

#include <algorithm>

namespace orvane {

using namespace frames;

DeviceLink::DeviceLink(Spectra& spectra, OutputLog& log, Poster& poster, Host& host, DeviceIdentity& identity)
    : spectra_(spectra), log_(log), poster_(poster), host_(host), identity_(identity),
      link_(port_, log, poster, *this) {}

DeviceLink::~DeviceLink() {
    ++generation_;
    link_.Reset();
    port_.ClosePort();
}

void DeviceLink::SetPort(const std::string& devicePath, const std::string& portName, std::uint32_t baud) {
    devicePath_ = devicePath;
    portName_ = portName;
    baud_ = baud;
}

std::string DeviceLink::BufferCaption() const {
    return linkOpen_ ? "Hardware Spectrum @ " + portName_ : "Hardware Spectrum";
}

// A message raised from inside a link handler is shown after the handler returns, so a time-out can never
// re-send the command being handled while the box is open.
void DeviceLink::ShowLater(const std::string& text, MessageIcon icon) {
    poster_.Post([this, text, icon] { host_.MessageBox(text, "Orvane-MCA", icon, MessageButtons::Ok); });
}

void DeviceLink::DerivePeriod() {
    if (spectra_.active)
        period_.Derive(spectra_.active->Image().Get(reg::kPlatform));
}

// ---- starters ----

void DeviceLink::ReadSpectrumChunk() {
    if (!linkOpen_) {
        ShowLater("2-Hardware not connected!", MessageIcon::Stop);
        return;
    }
    if (link_.Busy()) {
        slots_[kSlotChunk] = true;
        return;
    }
    const int hard = spectra_.buffer.HardSize();
    int chunk = 0;
    if (loggerPhase_ == 3) {
        chunkStart_ = 0; // the first half starts at channel 0, wherever polling stood
        chunk = hard / 2;
    } else if (loggerPhase_ == 2) {
        chunkStart_ = hard / 2;
        chunk = hard / 2;
    } else {
        chunk = loggerRunning_ ? hard / 32 + 2 : hard / 8 + 2;
        chunkStart_ += chunk;
    }
    if (chunkStart_ >= hard)
        chunkStart_ = 0;
    chunkFirst_ = chunkStart_;
    chunkChannels_ = std::min(chunk, hard - chunkStart_);
    link_.Prepare(CommandKind::SpectrumChunk,
                  Address(kSelectRead, static_cast<std::uint16_t>(2 * chunkFirst_)),
                  static_cast<std::uint16_t>(4 * chunkChannels_));
    link_.SendRead();
}

void DeviceLink::ReadRegisters(int start, int count, int destination) {
    if (!linkOpen_)
        return;
    if (link_.Busy()) {
        slots_[kSlotRegisters] = true;
        savedStart_ = start;
        savedCount_ = count;
        savedDestination_ = destination;
        return;
    }
    readStart_ = std::clamp(start, 0, RegisterImage::kRegisters - 1);
    count = std::clamp(count, 1, RegisterImage::kRegisters - readStart_);
    link_.Prepare(CommandKind::RegisterRead,
                  Address(kSelectRead, static_cast<std::uint16_t>(kRegisterBase + readStart_)),
                  static_cast<std::uint16_t>(2 * count));
    link_.SendRead();
}

void DeviceLink::RefreshRegisters() {
    readPending_ = true;
    ReadRegisters(1, 127);
}

void DeviceLink::ReadTrace() {
    if (!linkOpen_) {
        ShowLater("1-Hardware not connected!", MessageIcon::Stop);
        return;
    }
    if (link_.Busy()) {
        slots_[kSlotTrace] = true;
        return;
    }
    link_.Prepare(CommandKind::TraceRead, Address(kSelectTrace, kRegisterBase), TraceCapture::kTraceBytes);
    link_.SendRead();
}

void DeviceLink::SendWrite(int first, int count, const RegisterImage::Bank& bank) {
    for (int i = 0; i < count; ++i)
        Put16(link_.Payload() + 2 * i, bank[static_cast<std::size_t>(first + i)]);
    link_.Prepare(CommandKind::RegisterWrite,
                  Address(kSelectWrite, static_cast<std::uint16_t>(kRegisterBase + first)),
                  static_cast<std::uint16_t>(2 * count));
    link_.SendWrite();
    spectra_.buffer.Image().SetSettled(true);
}

void DeviceLink::WriteRunControl() {
    if (!link_.Responding()) {
        ShowLater("5-Hardware not connected!", MessageIcon::Stop);
        return;
    }
    if (link_.Busy()) {
        slots_[kSlotRunControl] = true;
        return;
    }
    SendWrite(16, 10, spectra_.buffer.Image().Bank1());
}

void DeviceLink::WriteParameters() {
    if (!link_.Responding()) {
        ShowLater("5-Hardware not connected!", MessageIcon::Stop);
        return;
    }
    if (link_.Busy()) {
        slots_[kSlotParameters] = true;
        return;
    }
    SendWrite(12, 116, spectra_.buffer.Image().Bank0());
}

void DeviceLink::WriteAllRegisters() {
    if (!link_.Responding()) {
        ShowLater("6-Hardware not connected!", MessageIcon::Stop);
        return;
    }
    if (link_.Busy()) {
        slots_[kSlotAllRegisters] = true;
        return;
    }
    SendWrite(0, 128, spectra_.buffer.Image().Bank0());
}

// ---- completion ----

void DeviceLink::OnCommandComplete() {
    ++completions_;
    switch (link_.Kind()) {
    case CommandKind::SpectrumChunk:
        StoreSpectrumChunk();
        if (loggerPhase_ != 0) {
            ReadSpectrumChunk();
        } else if (autoUpdate_) {
            if (++chunkCounter_ > 3) {
                chunkCounter_ = 0;
                RefreshRegisters();
            } else {
                ReadSpectrumChunk();
            }
        }
        break;
    case CommandKind::RegisterWrite:
        CompleteRegisterWrite();
        break;
    case CommandKind::TraceRead:
        CompleteTraceRead();
        break;
    case CommandKind::RegisterRead:
        CompleteRegisterRead();
        break;
    }
    link_.SetReadError(false);
    link_.SetBusy(false);
    ServeOneRequest();
}

void DeviceLink::StoreSpectrumChunk() {
    CSpectrum& buffer = spectra_.buffer;
    // Never past the record's channels, whatever the reply's geometry.
    const int count = std::min(chunkChannels_, CSpectrum::kChannels - chunkFirst_);
    const std::uint8_t* data = link_.ReplyData();
    for (int i = 0; i < count; ++i)
        buffer.HardCounts()[static_cast<std::size_t>(chunkFirst_ + i)] = Get32(data + 4 * i);
    if (loggerPhase_ != 0 && logger_)
        logger_->OnHalfStored();
    buffer.FoldBlock(chunkFirst_, count);
}

void DeviceLink::CompleteRegisterWrite() {
    RegisterImage& image = spectra_.buffer.Image();
    image.ConsumeOneShotBits();
    if (listener_)
        listener_->OnRegistersWritten();
    if (loggerRunning_) {
        if (loggerPhase_ == 1 && logger_)
            logger_->OnRestartWriteDone();
        else
            RefreshRegisters();
        return;
    }
    if (trace_.Continuous() || trace_.SingleShotPending()) {
        if (image.Bit(reg::kControl, 15)) {
            image.SetBit(reg::kControl, 15, false);
            ReadTrace();
        } else {
            RefreshRegisters();
        }
    }
    if (autoUpdate_ && !trace_.SingleShotPending())
        ReadSpectrumChunk();
}

void DeviceLink::CompleteTraceRead() {
    const bool lastShot = trace_.SingleShotCountdown() == 1;
    if (trace_.Offer(link_.ReplyData()) && listener_)
        listener_->OnTraceCaptured(lastShot);
    if (autoUpdate_)
        ReadSpectrumChunk();
    else if (trace_.Continuous() || trace_.SingleShotPending())
        RefreshRegisters();
    trace_.CountDown();
}

void DeviceLink::CompleteRegisterRead() {
    if (!readPending_)
        return;
    readPending_ = false;
    RegisterImage& image = spectra_.buffer.Image();
    // While logging, read-backs are copied even with an edit unsent (the run end must be seen), but never
    // over a block write still waiting in its slot: a logged START queued behind this read would go out
    // without its run bits.
    const bool writeQueued = slots_[kSlotParameters] || slots_[kSlotAllRegisters];
    if (image.Settled() || (loggerRunning_ && !writeQueued)) {
        const int count = link_.ReadSize() / 2;
        for (int i = 0; i < count && readStart_ + i < RegisterImage::kRegisters; ++i)
            image.Set(readStart_ + i, Get16(link_.ReplyData() + 2 * i));
        running_ = image.Bit(reg::kControl, 0);
        if (!running_ && loggerRunning_ && previousRunning_) {
            previousRunning_ = false;
            if (logger_ && logger_->OnRunEnded())
                return;
        }
        if (running_)
            previousRunning_ = true;
        if ((trace_.Continuous() || trace_.SingleShotPending()) && !loggerRunning_) {
            if (image.Bit(reg::kControl, 15)) {
                image.SetBit(reg::kControl, 15, false);
                ReadTrace();
            } else {
                RefreshRegisters();
            }
        }
        DerivePeriod();
        if (listener_)
            listener_->OnRegistersRefreshed(loggerRunning_);
        image.ConsumeOneShotBits();
    }
    if (autoUpdate_ && !trace_.SingleShotPending())
        ReadSpectrumChunk();
}

void DeviceLink::ServeOneRequest() {
    for (int tested = 0; tested < kSlots; ++tested) {
        cursor_ = cursor_ >= kSlots - 1 ? 0 : cursor_ + 1;
        if (slots_[static_cast<std::size_t>(cursor_)]) {
            slots_[static_cast<std::size_t>(cursor_)] = false;
            RunSlot(cursor_);
            return;
        }
    }
}

void DeviceLink::RunSlot(int slot) {
    switch (slot) {
    case kSlotChunk:
        ReadSpectrumChunk();
        break;
    case kSlotParameters:
        WriteParameters();
        break;
    case kSlotAllRegisters:
        WriteAllRegisters();
        break;
    case kSlotTrace:
        if (!loggerRunning_)
            ReadTrace();
        break;
    case kSlotRegisters:
        ReadRegisters(savedStart_, savedCount_, savedDestination_);
        break;
    case kSlotRunControl:
        WriteRunControl();
        break;
    default:
        break;
    }
}

void DeviceLink::SetAutoUpdate(bool on) {
    const bool was = autoUpdate_;
    autoUpdate_ = on;
    if (on && !was)
        RefreshRegisters();
}

// ---- connection ----

void DeviceLink::ConnectDevice() {
    const unsigned generation = ++generation_;
    period_.Forget();
    if (listener_)
        listener_->OnConnectReset();
    linkOpen_ = false;
    link_.SetResponding(false);
    trace_.Reset();
    port_.ClosePort();
    link_.Reset();
    ClearSlots();
    if (port_.OpenForWindow(devicePath_, this, 0, 0, 2000, 2000) != serial::kSuccess) {
        host_.MessageBox("Unable to open COM-port", "Orvane-MCA", MessageIcon::Stop, MessageButtons::Ok);
        port_.ClosePort();
        portOpen_ = false;
        ReleaseDevice();
        return;
    }
    portOpen_ = true;
    eventsMuted_ = false;
    port_.SetLineFormat(baud_, 8, serial::kParityNone, serial::kStopOne);
    port_.SetEventMask(serial::kEventReceived | serial::kEventLineError);
    port_.SetReadMode(serial::kReadNonBlocking);
    port_.SetFlowControl(serial::kFlowRtsCts);
    identity_.SetAutoPlatform(false);
    spectra_.buffer.SetPlatformCode(kPlatformUnknown);
    spectra_.file.SetPlatformCode(kPlatformUnknown);
    // The break holds the line for 100 ms; the rest of Connect goes on when it is over.
    port_.SetBreak();
    poster_.PostAfter(kBreakMs, [this, generation] { ConnectAfterBreak(generation); });
}

void DeviceLink::ConnectAfterBreak(unsigned generation) {
    if (generation != generation_)
        return;
    port_.ClearBreak();
    port_.Purge();
    link_.DrainInput();
    log_.AddLine("Connected to: " + portName_);
    SetLoggerRunning(false);
    if (listener_)
        listener_->OnLoggerEnableCleared();
    autoUpdate_ = true;
    if (listener_)
        listener_->OnAutoUpdateChanged(true);
    trace_.SetContinuous(false);
    poster_.PostAfter(kSettleMs, [this, generation] { ConnectAfterSettle(generation); });
}

void DeviceLink::ConnectAfterSettle(unsigned generation) {
    if (generation != generation_)
        return;
    if (listener_)
        listener_->OnPanelsReset();
    linkOpen_ = true;
    link_.SetResponding(false);
    link_.SetBusy(false);
    link_.SetReadError(true);
    spectra_.buffer.Image().SetSettled(true);
    RefreshRegisters();
    if (listener_)
        listener_->OnConnected();
}

void DeviceLink::ReleaseDevice() {
    const unsigned generation = ++generation_;
    eventsMuted_ = true;
    linkOpen_ = false;
    link_.SetResponding(false);
    if (autoUpdate_) {
        autoUpdate_ = false;
        if (listener_)
            listener_->OnAutoUpdateChanged(false);
    }
    trace_.SetContinuous(false);
    ClearSlots();
    // A repetition waiting out its pause must not go out on a line that is being closed.
    link_.Reset();
    if (spectra_.buffer.Shown())
        spectra_.buffer.Activate();
    poster_.PostAfter(kReleaseMs, [this, generation] { FinishRelease(generation); });
}

void DeviceLink::FinishRelease(unsigned generation) {
    if (generation != generation_)
        return;
    if (port_.IsOpen())
        port_.ClosePort();
    linkOpen_ = false;
    link_.SetResponding(false);
    trace_.Reset();
    portOpen_ = false;
    link_.Reset();
    identity_.SetAutoPlatform(true);
    log_.AddLine("Disconnected from hardware");
    if (listener_)
        listener_->OnReleased();
}

void DeviceLink::Disconnect() {
    if (loggerRunning_) {
        host_.MessageBox(
            "Spectrum Logging in progress!\nPlease Stop the Spectrum Logger\nbefore disconnecting from "
            "hardware!",
            "Orvane-MCA", MessageIcon::None, MessageButtons::Ok);
        return;
    }
    SetLoggerRunning(false);
    if (listener_)
        listener_->OnLoggerEnableCleared();
    portOpen_ = false;
    ReleaseDevice();
}

void DeviceLink::CloseForSearch() {
    ++generation_;
    eventsMuted_ = true;
    linkOpen_ = false;
    link_.SetResponding(false);
    link_.Reset();
    ClearSlots();
    port_.ClosePort();
    portOpen_ = false;
}

bool DeviceLink::OpenProbe(const std::string& devicePath, std::uint32_t baud) {
    link_.Reset();
    ClearSlots();
    readPending_ = false;
    if (port_.OpenForWindow(devicePath, this, 0, 0, 10, 10) != serial::kSuccess) {
        port_.ClosePort();
        linkOpen_ = false;
        return false;
    }
    linkOpen_ = true;
    eventsMuted_ = false;
    port_.SetLineFormat(baud, 8, serial::kParityNone, serial::kStopOne);
    port_.SetEventMask(serial::kEventReceived | serial::kEventLineError);
    port_.SetFlowControl(serial::kFlowRtsCts);
    port_.Purge();
    link_.DrainInput();
    link_.SetReadError(true);
    return true;
}

void DeviceLink::CloseProbe() {
    linkOpen_ = false;
    link_.SetResponding(false);
    eventsMuted_ = true;
    link_.Reset();
    ClearSlots();
    port_.ClosePort();
}

void DeviceLink::OnLinkTimer() {
    ++ticks_;
    // While the finder searches it judges its own probes: a silent port must not release anything.
    if (!searching_) {
        if (link_.Busy())
            link_.TimeoutTick();
        else if (link_.Responding() && !portOpen_)
            ReleaseDevice();
    }
    if (listener_)
        listener_->OnLinkTick();
}

void DeviceLink::OnSerialMessage(std::uint32_t, std::uint32_t param, std::intptr_t) {
    if (eventsMuted_) {
        if (mutedSink_)
            mutedSink_(param);
        return;
    }
    DispatchSerialEvent(param, log_, link_);
}

} // namespace orvane
