#pragma once

#include "spectrum/CSpectrum.h"
#include "spectrum/FileIo.h"

#include <string>

namespace orvane {

class Host;

// The CSV table and the binary CHN file (ORTEC integer layout) of a record, in hard or soft channels. Times
// and the start stamp come from the record's own registers. Both go through the safe writer.
class SpectrumExporter {
public:
    explicit SpectrumExporter(Host& host, FileIo& io = FileIo::System());

    // Clamp both sizes into 512..16384 (kept in the record), then write. "Unable to Save File" when
    // the target cannot be written, "Error Writing to File" when writing fails.
    bool ExportCsv(CSpectrum& record, const std::string& path, bool hardSize);
    // "Unable to Export File" when the target cannot be written, "Error Writing to File" when writing
    // fails.
    bool ExportChn(CSpectrum& record, const std::string& path, bool hardSize);

    // The bytes each export writes for a record whose sizes are already in range.
    static std::string FormatCsv(const CSpectrum& record, bool hardSize);
    static std::string FormatChn(const CSpectrum& record, bool hardSize);

    // "JAN".."DEC", or "???" for a month outside 1..12.
    static const char* MonthName(int month);

private:
    bool Write(const std::string& path, const std::string& bytes, const char* openFailure);

    Host& host_;
    FileIo& io_;
};

} // namespace orvane
