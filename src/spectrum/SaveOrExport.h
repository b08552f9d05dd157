#pragma once

#include "spectrum/CSpectrum.h"

#include <functional>
#include <string>

namespace orvane {

class Host;
class SpectrumExporter;
class SpectrumFileWriter;

enum class SpectrumFileCommand { Save, CsvHard, CsvSoft, ChnHard, ChnSoft };

// The common flow of "Save Spectrum As..." and "Export Spectrum To...": the file chooser, ".qxs" for a save
// named without extension, the overwrite question, the tag dialog (cancelled: the start-date text becomes
// the tag), then the save or export itself.
class SaveOrExport {
public:
    SaveOrExport(Host& host, SpectrumFileWriter& writer, SpectrumExporter& exporter);

    // On the active spectrum. True when a file was written.
    bool Run(SpectrumFileCommand command, CSpectrum& active);

    // The path shared with "Open Spectrum": where the chooser starts, and the last path chosen.
    const std::string& RememberedPath() const { return rememberedPath_; }
    void SetRememberedPath(std::string path) { rememberedPath_ = std::move(path); }
    // After the save or export: repaint the main window.
    void SetRepaint(std::function<void()> repaint) { repaint_ = std::move(repaint); }

private:
    Host& host_;
    SpectrumFileWriter& writer_;
    SpectrumExporter& exporter_;
    std::string rememberedPath_;
    std::function<void()> repaint_;
};

} // namespace orvane
