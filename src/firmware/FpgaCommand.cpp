#include "firmware/FpgaCommand.h"

namespace orvane {

FpgaCommand::FpgaCommand(DeviceLink& link, Host& host, Poster& poster, const Clock& clock,
                         SettingsStore& settings)
    : link_(link), host_(host), poster_(poster), clock_(clock), settings_(settings) {}

FpgaCommand::~FpgaCommand() {
    if (waitTimer_)
        poster_.Cancel(waitTimer_);
}

void FpgaCommand::NotConnected() {
    host_.MessageBox("No device is connected. Please, connect/reconect!", "Orvane-MCA",
                     MessageIcon::Exclamation, MessageButtons::Ok);
}

void FpgaCommand::Run() {
    if (link_.LoggerRunning() || Waiting())
        return;
    if (!link_.Responding()) {
        NotConnected();
        return;
    }
    link_.SetAutoUpdate(false);
    link_.Trace().SetContinuous(false);
    // An armed single shot would keep the chain going, and the link would never come free.
    link_.Trace().ArmSingleShot(0);
    if (refreshPanels_)
        refreshPanels_();
    Poll(clock_.MonotonicMs() + kWaitLimitMs);
}

void FpgaCommand::Poll(std::int64_t deadlineMs) {
    waitTimer_ = 0;
    if (!link_.Busy() && link_.Responding()) {
        RunDialog();
        return;
    }
    if (clock_.MonotonicMs() >= deadlineMs || !link_.LinkOpen()) {
        NotConnected();
        return;
    }
    waitTimer_ = poster_.PostAfter(kPollMs, [this, deadlineMs] { Poll(deadlineMs); });
}

void FpgaCommand::RunDialog() {
    link_.SetEventsMuted(true);
    {
        FpgaExchange exchange(link_.Port(), poster_, host_, settings_);
        link_.SetMutedEventSink([&exchange](std::uint32_t param) { exchange.OnSerialEvent(param); });
        if (showDialog_)
            showDialog_(exchange);
        link_.SetMutedEventSink(nullptr);
    }
    link_.SetEventsMuted(false);
    if (refreshPanels_)
        refreshPanels_();
    link_.ConnectDevice();
}

} // namespace orvane
