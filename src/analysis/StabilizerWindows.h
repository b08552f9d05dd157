#pragma once

#include <array>
#include <functional>
#include <string>

namespace orvane {

class CSpectrum;
class Host;

// The gain stabilizer dialog's model: the four window edges (hard channels, register words 64 to 67 of the
// buffer spectrum), proposed from the peak analysis of an ROI and written back through the session.
class StabilizerWindows {
public:
    static constexpr int kMaxChannel = 16383;
    enum Edge : int { kOuterLeft, kInnerLeft, kInnerRight, kOuterRight };

    // What the dialog needs from the session; the session sets these.
    struct Link {
        std::function<bool()> connected;       // a device is connected
        std::function<bool()> responding;      // the instrument answers
        std::function<bool()> loggerRunning;   // the spectrum logger owns the writes
        std::function<void()> writeParameters; // WriteParameters: registers 12 to 127 of the buffer image
    };

    StabilizerWindows(Host& host, Link link) : host_(host), link_(std::move(link)) {}

    // "SET": false, with the reason told, when the dialog may not open; otherwise the fields are loaded
    // from the buffer spectrum (word 64 without its enable bit 15).
    bool Open(const CSpectrum& active, const CSpectrum& buffer);

    // The entry fields, as the dialog's edits show them.
    const std::string& Field(Edge edge) const { return fields_[edge]; }
    void SetField(Edge edge, const std::string& text) { fields_[edge] = text; }

    // Windows half an FWHM and one FWHM around the centroid of the peak in the cursor's ROI; false when
    // nothing was proposed (the reason is told).
    bool RecommendWindows(CSpectrum& active);

    // "OK": stores the four edges into the buffer image and has them written. True when the dialog closes;
    // false, with the range told and nothing stored, when a field is not a channel.
    bool ApplyWindows(CSpectrum& buffer);

private:
    void Tell(const std::string& text);
    static bool ParseChannel(const std::string& text, int& value);

    Host& host_;
    Link link_;
    std::array<std::string, 4> fields_;
};

} // namespace orvane
