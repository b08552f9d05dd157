#pragma once

#include "device/ComPortSettings.h"
#include "panels/AcquisitionPanel.h"
#include "session/DeviceIdentity.h"
#include "session/DeviceLink.h"
#include "session/PortFinder.h"
#include "shell/CommandRules.h"
#include "shell/Host.h"
#include "shell/OutputLog.h"

namespace orvane {

// The main frame's commands that act on the session, without the widgets that trigger them.
class ShellCommands {
public:
    ShellCommands(Spectra& spectra, DeviceLink& link, DeviceIdentity& identity, AcquisitionPanel& acquisition,
                  OutputLog& log, Host& host);

    SessionView View() const;
    bool Enabled(Command command) const { return CommandEnabled(command, View()); }

    // After the Port dialog's OK.
    void AcceptPortSettings(const ComPortSettings& settings);
    // After the port finder's OK: log the port, set the speed and connect.
    void AcceptFoundPort(const PortFinder& finder);
    // Before the port finder runs.
    void PrepareAutoConnect();

    void CopyRegistersBufferToFile();
    void CopyRegistersFileToBuffer();
    void CopyRoiBufferToFile() { spectra_.file.CopyRoiFrom(spectra_.buffer); }
    void CopyRoiFileToBuffer() { spectra_.buffer.CopyRoiFrom(spectra_.file); }
    void CopyCalibrationBufferToFile();
    void CopyCalibrationFileToBuffer();
    // Spectrum > "Soft Size": the entry at this position of the SOFT list, as choosing it there.
    void ChooseSoftSize(int position);
    int CheckedSoftSize() const { return acquisition_.SoftIndex(); }
    void ChoosePlatform(PlatformCommand command);
    bool PlatformChecked(PlatformCommand command) const;

    int IoSpeed() const { return ioSpeed_; }
    void SetIoSpeed(int speed) { ioSpeed_ = speed == 1 ? 1 : 0; }

private:
    Spectra& spectra_;
    DeviceLink& link_;
    DeviceIdentity& identity_;
    AcquisitionPanel& acquisition_;
    OutputLog& log_;
    Host& host_;
    int ioSpeed_ = 0;
};

} // namespace orvane
