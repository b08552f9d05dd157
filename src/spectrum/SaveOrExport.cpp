#include "spectrum/SaveOrExport.h"

#include "session/AcquisitionFigures.h"
#include "shell/Host.h"
#include "spectrum/SafeFileWriter.h"
#include "spectrum/SpectrumExporter.h"
#include "spectrum/SpectrumFileText.h"
#include "spectrum/SpectrumFileWriter.h"

namespace orvane {

SaveOrExport::SaveOrExport(Host& host, SpectrumFileWriter& writer, SpectrumExporter& exporter)
    : host_(host), writer_(writer), exporter_(exporter) {}

bool SaveOrExport::Run(SpectrumFileCommand command, CSpectrum& active) {
    const bool save = command == SpectrumFileCommand::Save;
    const bool csv = command == SpectrumFileCommand::CsvHard || command == SpectrumFileCommand::CsvSoft;
    const bool hard = command == SpectrumFileCommand::CsvHard || command == SpectrumFileCommand::ChnHard;

    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.initialPath = rememberedPath_;
    if (save) {
        request.title = "Save Spectrum As...";
        request.filters = {"Orvane Spectrum (*.qxs)"};
        request.defaultExtension = "qxs";
    } else {
        request.title = "Export Spectrum As...";
        request.filters = {csv ? "CSV File (*.csv)" : "CHN File (*.chn)"};
    }
    const std::optional<std::string> chosen = host_.ChooseFile(request);
    if (!chosen || chosen->empty())
        return false;
    const std::string path = save ? WithDefaultExtension(*chosen, "qxs") : *chosen;
    rememberedPath_ = path;

    if (PathExists(path) &&
        host_.MessageBox(spectrum_text::kOverwriteQuestion, spectrum_text::kWarningCaption,
                         MessageIcon::Exclamation, MessageButtons::OkCancel) != kAnswerOk)
        return false;

    const std::optional<std::string> tag = host_.AskSpectrumTag(active.Tag());
    active.SetTag(tag ? *tag : StartText(active.Image()));

    bool written = false;
    if (save)
        written = writer_.Save(active, path);
    else if (csv)
        written = exporter_.ExportCsv(active, path, hard);
    else
        written = exporter_.ExportChn(active, path, hard);
    if (repaint_)
        repaint_();
    return written;
}

} // namespace orvane
