#pragma once

#include "spectrum/CSpectrum.h"
#include "spectrum/FileIo.h"

#include <functional>
#include <string>

namespace orvane {

class Host;

// Writes a record as a spectrum file (".qxs"): fixed lines with XML-looking tags, LF line ends, printf
// formats. The run figures (times, start date) come from the record's own registers, so a logged run
// saved while another record is shown still carries its own times.
class SpectrumFileWriter {
public:
    explicit SpectrumFileWriter(Host& host, FileIo& io = FileIo::System());

    // Run before the lines are formatted: the calibration panel takes its check marks over into the
    // use flags of the active spectrum's selected input.
    void SetCalibrationChecksHook(std::function<void()> hook) { takeOverChecks_ = std::move(hook); }

    // Clamps the hard size into 512..16384 (kept in the record) and writes the file through the safe
    // writer. "Unable to Save File" when the target cannot be written, "Error Writing to File" when a
    // write, the close or the rename fails; either way any previous file stays as it was.
    bool Save(CSpectrum& record, const std::string& path);

    // The file's bytes for a record, exactly as Save writes them.
    static std::string Format(const CSpectrum& record);
    // The root element's name from the platform code, the SP flag and the clock code of register 15.
    static std::string RootName(const CSpectrum& record);

private:
    Host& host_;
    FileIo& io_;
    std::function<void()> takeOverChecks_;
};

} // namespace orvane
