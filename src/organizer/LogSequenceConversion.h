#pragma once

#include "organizer/ColumnScratch.h"
#include "organizer/ConversionSettings.h"
#include "organizer/FileSetEntry.h"
#include "organizer/LogOrganizer.h"
#include "organizer/TableFileWriter.h"
#include "organizer/TableFormat.h"
#include "organizer/TimeStamp.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kettrim {

class ConversionHost;

// One run of the conversion, a step at a time: the checks of the file set, then one input file per step,
// then (for a table) the table in blocks of rows. A table is never rewritten per file: each file's binned
// column goes to the column scratch file and the table is written once, which gives the same bytes as
// growing it by one column per file.
class LogSequenceConversion {
public:
    LogSequenceConversion(LogOrganizer& organizer, ConversionHost& host);
    ~LogSequenceConversion();

    // Does the next part of the work; false once the conversion has ended.
    bool Step();
    ConversionOutcome Outcome() const { return outcome_; }

private:
    enum class Phase { Checks, Files, Table, Ended };

    void RunChecks();
    bool SeriesIsComplete();
    void ProcessNextFile();
    void ReadInput(const std::string& path);
    // The stamp of the current file; reports and stops the conversion when it is out of range.
    std::optional<TimeStamp> CheckedStamp(const std::string& path);
    // The label of the current file's column; a stamp label may stop the conversion.
    std::optional<std::string> ColumnLabel(const std::string& numberText, const std::string& path);
    void WriteColumn(const std::string& numberText, const std::optional<std::string>& label);
    bool WriteFirstColumn(const std::string& name, const std::optional<std::string>& label);
    bool AppendTableColumn(const std::optional<std::string>& label);
    bool StartColumnScratch(const std::optional<std::string>& label);
    // After the last file or an early stop: writes the table from the scratch file, or ends.
    void EndFiles();
    void WriteTableBlock();
    void End();

    bool TableOfSeries() const { return settings_.organization == Organization::Table && !singleFile_; }
    std::string OutputPath(const std::string& name) const { return name + "_" + first_.extension + ".csv"; }

    LogOrganizer& organizer_;
    ConversionHost& host_;
    SpectrumBuffers& buffers_;

    FileSetEntry first_;
    ConversionSettings settings_;
    int size_ = 1;
    bool singleFile_ = false;
    std::int64_t filesToProcess_ = 0;
    std::int64_t processed_ = 0;
    std::int64_t number_ = 0;
    std::int64_t step_ = 1;
    std::int64_t startTime_ = 0;
    std::string basePath_;
    std::string tableName_;
    std::string temporaryTableName_;
    std::optional<TableFormat> format_;

    ColumnScratch scratch_;
    std::optional<std::string> tableHeader_;
    std::unique_ptr<TableFileWriter> tableWriter_;

    Phase phase_ = Phase::Checks;
    ConversionOutcome outcome_ = ConversionOutcome::Running;
    bool anyWriteFailed_ = false;
    bool anyInputUnreadable_ = false;
    bool stopped_ = false;
};

} // namespace kettrim
