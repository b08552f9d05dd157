#pragma once

#include "shell/Poster.h"
#include "spectrum/CSpectrum.h"

#include <functional>
#include <string>

namespace orvane {

enum class PlatformCommand { Auto, Velusk, Kiramo, Dravon };

// What the platform choice makes the acquisition and amplifier panels show.
struct PlatformLayout {
    bool biasAndCoolingShown = true;                    // "Bias Voltage [V]", "Cooling Power %" and its scale
    std::string temperatureLabel = "Detector Temp [C]"; // or "INPUT D [V]"
    bool firstDigitalIoSelectorEnabled = false;         // the DIGITAL IO group's first selector
};

// The platform every record carries: detected from register 15 after each acquisition-panel refresh, or
// chosen from the Platform menu. Detection queues its command so it runs after the refresh in progress,
// exactly as a menu choice would.
class DeviceIdentity {
public:
    explicit DeviceIdentity(Poster& poster);

    // Detection on the active spectrum; queues at most one platform command.
    void Detect(CSpectrum& active);
    // A Platform menu choice (or a queued detection) applied to the active spectrum.
    void Apply(PlatformCommand command, CSpectrum& active);

    bool AutoPlatform() const { return autoPlatform_; }
    void SetAutoPlatform(bool on) { autoPlatform_ = on; }
    const PlatformLayout& Layout() const { return layout_; }

    // Where queued commands act, and the amplifier panel's part (its input-mode state and its refresh).
    void SetActiveSpectrumSource(std::function<CSpectrum*()> active) { active_ = std::move(active); }
    void SetAmplifierHooks(std::function<bool()> inputModeState, std::function<void()> refresh);
    // Called after every command, so the panels can re-layout.
    void SetLayoutChanged(std::function<void()> changed) { layoutChanged_ = std::move(changed); }

private:
    void Queue(PlatformCommand command);

    Poster& poster_;
    bool autoPlatform_ = true;
    PlatformLayout layout_;
    std::function<CSpectrum*()> active_;
    std::function<bool()> amplifierInputMode_;
    std::function<void()> amplifierRefresh_;
    std::function<void()> layoutChanged_;
};

// "Velusk", "Kiramo", "Kiramo-II", "Kiramo-SP", "Kiramo-II-SP" or "Dravon".
std::string ModelName(int platformCode, int spFlag, std::uint16_t register15);

struct HardwareInfo {
    std::string caption;
    std::string text;
};
// The "About Hardware" box for the active spectrum, with the session's sample period in microseconds.
HardwareInfo AboutHardware(const CSpectrum& spectrum, double periodUs);

} // namespace orvane
