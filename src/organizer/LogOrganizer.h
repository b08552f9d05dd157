#pragma once

#include "organizer/ConversionSettings.h"
#include "organizer/FileSetEntry.h"
#include "organizer/SpectrumBuffers.h"
#include "organizer/SpectrumSizeList.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kettrim {

class ConversionHost;
class LogSequenceConversion;

enum class ConversionOutcome {
    Running,
    Completed, // "Conversion Completed Successfully!"
    Failed,    // "Conversion Aborted due to Errors!": a file or a write failed, or a stamp stopped it
    Rejected,  // the file set was refused before any file was read
};

// The organizer's state: the file set, the output choices, the spectrum size list and the working buffers.
// The dialog and the headless mode both drive it.
class LogOrganizer {
public:
    LogOrganizer();
    ~LogOrganizer();

    void ChooseFirstFile(const std::string& path);
    void ChooseLastFile(const std::string& path);

    const FileSetEntry& FirstFile() const { return first_; }
    const FileSetEntry& LastFile() const { return last_; }
    const std::string& ExtensionChosenLast() const { return extensionChosenLast_; }

    ConversionSettings& Settings() { return settings_; }
    const ConversionSettings& Settings() const { return settings_; }
    SpectrumSizeList& SizeList() { return sizeList_; }
    const SpectrumSizeList& SizeList() const { return sizeList_; }
    SpectrumBuffers& Buffers() { return *buffers_; }

    // Refills the size list for the file chosen last and counts the files of the series (0 when the two
    // files are not one series). True when they are.
    bool CountFilesToProcess();
    std::int64_t FilesToProcess() const { return filesToProcess_; }

    // Runs a whole conversion on the calling thread.
    ConversionOutcome ConvertLogSequence(ConversionHost& host);
    // A conversion to run a step at a time, so a window stays alive.
    std::unique_ptr<LogSequenceConversion> BeginConversion(ConversionHost& host);

private:
    FileSetEntry first_;
    FileSetEntry last_;
    // Before any choice: the first file counts as qxs, the last as qps, and the list follows qxs.
    std::string extensionChosenLast_ = "qxs";
    ConversionSettings settings_;
    SpectrumSizeList sizeList_;
    std::int64_t filesToProcess_ = 0;
    std::unique_ptr<SpectrumBuffers> buffers_;
};

} // namespace kettrim
