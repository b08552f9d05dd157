#include "shell/ShellCommands.h"

#include "device/PortNames.h"
#include "session/ParameterMap.h"

namespace orvane {

ShellCommands::ShellCommands(Spectra& spectra, DeviceLink& link, DeviceIdentity& identity,
                             AcquisitionPanel& acquisition, OutputLog& log, Host& host)
    : spectra_(spectra), link_(link), identity_(identity), acquisition_(acquisition), log_(log), host_(host) {
}

SessionView ShellCommands::View() const {
    SessionView v;
    v.bufferActive = spectra_.BufferActive();
    v.linkOpen = link_.LinkOpen();
    v.loggerRunning = link_.LoggerRunning();
    v.deviceRunning = spectra_.buffer.Image().Bit(reg::kControl, 0);
    return v;
}

void ShellCommands::AcceptPortSettings(const ComPortSettings& settings) {
    ioSpeed_ = settings.Speed() == ComPortSettings::kNormal ? 1 : 0;
    link_.SetPort(settings.DevicePath(), settings.PortName(), ComPortSettings::BaudOf(ioSpeed_));
    log_.AddLine(settings.SetPortLine());
}

void ShellCommands::PrepareAutoConnect() {
    link_.SetEventsMuted(false);
    spectra_.buffer.Image().SetSettled(false);
}

void ShellCommands::AcceptFoundPort(const PortFinder& finder) {
    ioSpeed_ = finder.ChosenFast() ? 0 : 1;
    const std::string& path = finder.ChosenDevicePath();
    const int selected = finder.Selected();
    const bool valid = selected >= 0 && selected < static_cast<int>(finder.Found().size());
    const std::string name =
        valid ? PortNameFromText(finder.Found()[static_cast<std::size_t>(selected)]) : path;
    link_.SetPort(path, name, ioSpeed_ == 0 ? 921600 : 460800);
    log_.AddLine(path);
    link_.ConnectDevice();
}

void ShellCommands::CopyRegistersBufferToFile() {
    spectra_.file.CopyRegistersFrom(spectra_.buffer);
    spectra_.file.Activate();
}

void ShellCommands::CopyRegistersFileToBuffer() {
    if (!link_.Responding()) {
        host_.MessageBox(
            "The transfer was aborted!\nPlease, connect the hardware\nand execute the transfer again.",
            "Info", MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    if (host_.MessageBox(
            "This operation cannot be undone.\n All current hardware settings will be lost.\n DO YOU "
            "WANT TO CONTINUE?",
            "Warning", MessageIcon::Stop, MessageButtons::OkCancel) != kAnswerOk)
        return;
    spectra_.buffer.Image().SetSettled(false);
    spectra_.buffer.CopyRegistersFrom(spectra_.file);
    if (!link_.LoggerRunning())
        link_.WriteAllRegisters();
}

void ShellCommands::CopyCalibrationBufferToFile() {
    spectra_.file.CopyCalibrationFrom(spectra_.buffer, spectra_.active == &spectra_.file);
}

void ShellCommands::CopyCalibrationFileToBuffer() {
    spectra_.buffer.CopyCalibrationFrom(spectra_.file, spectra_.active == &spectra_.buffer);
}

void ShellCommands::ChooseSoftSize(int position) {
    const auto& sizes = AcquisitionPanel::SoftSizes();
    if (position < 0 || position >= static_cast<int>(sizes.size()))
        return;
    acquisition_.OnSoftSize(sizes[static_cast<std::size_t>(position)]);
}

void ShellCommands::ChoosePlatform(PlatformCommand command) {
    if (spectra_.active)
        identity_.Apply(command, *spectra_.active);
}

bool ShellCommands::PlatformChecked(PlatformCommand command) const {
    const int platform = spectra_.active ? spectra_.active->PlatformCode() : kPlatformUnknown;
    switch (command) {
    case PlatformCommand::Auto:
        return identity_.AutoPlatform();
    case PlatformCommand::Velusk:
        return platform == kPlatformVelusk;
    case PlatformCommand::Kiramo:
        return platform == kPlatformKiramo;
    case PlatformCommand::Dravon:
        return platform == kPlatformDravon;
    }
    return false;
}

} // namespace orvane
