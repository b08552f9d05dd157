#include "organizer/LogSequenceConversion.h"

#include "organizer/ConversionHost.h"
#include "organizer/FileType.h"
#include "organizer/Rebinning.h"
#include "organizer/SpectrumFileReader.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kettrim {
namespace {

constexpr const char* kNotOneRecord = "The First File and the Last File are not from the same spectrum log "
                                      "record!\n Please correct the FILE SET entries.";
constexpr const char* kMissingFile = "Broken Spectrum Log Sequence!\n Missing File: ";
constexpr const char* kInvalidStamp = "Invalid Time Stamp!\n File: ";
constexpr const char* kInvalidStampEnd = "\n The conversion stops at this file.";
constexpr const char* kUnableToWrite = "Error: Unable to Write Files";
constexpr const char* kUnableToReadWrite = "Error: Unable to Read/Write Files";

std::string Formatted(const char* format, long long a, long long b = 0, long long c = 0) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string NumberText(std::int64_t number) {
    return Formatted("%04lld", number);
}

std::string SeriesFilePath(const FileSetEntry& first, const std::string& numberText) {
    return first.folder + "/" + first.base + "_" + numberText + "." + first.extension;
}

// Opens read-only, so a read-only archive passes, and closes again at once.
bool CanOpen(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

LogSequenceConversion::LogSequenceConversion(LogOrganizer& organizer, ConversionHost& host)
    : organizer_(organizer), host_(host), buffers_(organizer.Buffers()) {}

LogSequenceConversion::~LogSequenceConversion() = default;

bool LogSequenceConversion::Step() {
    switch (phase_) {
    case Phase::Checks:
        RunChecks();
        break;
    case Phase::Files:
        ProcessNextFile();
        break;
    case Phase::Table:
        WriteTableBlock();
        break;
    case Phase::Ended:
        break;
    }
    return phase_ != Phase::Ended;
}

void LogSequenceConversion::RunChecks() {
    first_ = organizer_.FirstFile();
    settings_ = organizer_.Settings();
    size_ = organizer_.SizeList().SelectedSize();
    singleFile_ = false;
    host_.AddProgressLine("Start Conversion");

    const FileSetEntry& last = organizer_.LastFile();
    if (first_.fullPath == last.fullPath && !organizer_.CountFilesToProcess())
        singleFile_ = true;
    // The series is checked before its files, so two unrelated files are reported as such, not as a gap.
    if (!singleFile_ && !organizer_.CountFilesToProcess()) {
        host_.AddProgressLine("Conversion Aborted due to Errors");
        host_.ShowError(kNotOneRecord);
        outcome_ = ConversionOutcome::Rejected;
        phase_ = Phase::Ended;
        return;
    }
    if (!singleFile_ && !SeriesIsComplete()) {
        outcome_ = ConversionOutcome::Rejected;
        phase_ = Phase::Ended;
        return;
    }
    if (settings_.increment <= 0)
        settings_.increment = 1;
    filesToProcess_ = singleFile_ ? 1 : organizer_.FilesToProcess();
    basePath_ = first_.folder + "/" + first_.base;
    tableName_ =
        basePath_ + Formatted("_%04lld_to_%04lld_+%lld", first_.number, last.number, settings_.increment);
    temporaryTableName_ = basePath_ + "_0000";
    number_ = first_.number;
    step_ = last.number >= first_.number ? settings_.increment : -settings_.increment;
    format_.emplace(first_.extension, size_, settings_.channelColumn);
    phase_ = Phase::Files;
}

bool LogSequenceConversion::SeriesIsComplete() {
    // Every number between the two is required, whatever the increment; a descending series is not checked.
    for (std::int64_t n = first_.number; n <= organizer_.LastFile().number; ++n) {
        const std::string path = SeriesFilePath(first_, NumberText(n));
        if (!CanOpen(path)) {
            host_.AddProgressLine("Conversion Aborted");
            host_.ShowError(kMissingFile + path);
            return false;
        }
    }
    return true;
}

void LogSequenceConversion::ProcessNextFile() {
    const std::string numberText = NumberText(number_);
    const std::string path = singleFile_ ? first_.fullPath : SeriesFilePath(first_, numberText);
    host_.AddProgressLine("Processing:" + path);
    ReadInput(path);
    if (processed_ == 0) {
        const std::optional<TimeStamp> stamp = CheckedStamp(path);
        if (!stamp)
            return EndFiles();
        startTime_ = stamp->time;
    }
    Rebin(buffers_, size_, SpectrumChannels(first_.extension));
    const std::optional<std::string> label = ColumnLabel(numberText, path);
    if (stopped_)
        return EndFiles();
    WriteColumn(numberText, label);
    ++processed_;
    number_ += step_;
    if (processed_ == filesToProcess_)
        EndFiles();
}

void LogSequenceConversion::ReadInput(const std::string& path) {
    // Nothing of the previous file may show up in this file's column or stamp.
    buffers_.counts.fill(0);
    buffers_.registers.fill(0);
    const bool read = IsSingleSpectrumType(first_.extension)
                          ? SpectrumFileReader::ReadSingleSpectrumFile(path, buffers_)
                          : SpectrumFileReader::ReadMultiSpectrumFile(path, buffers_);
    if (read)
        return;
    host_.AddProgressLine("Unable to Open File\n" + path);
    buffers_.counts.fill(0);
    buffers_.registers.fill(0);
    anyInputUnreadable_ = true;
}

std::optional<TimeStamp> LogSequenceConversion::CheckedStamp(const std::string& path) {
    TimeStamp stamp = DecodeTimeStamp(buffers_);
    if (stamp.valid)
        return stamp;
    host_.ShowError(kInvalidStamp + path + kInvalidStampEnd);
    stopped_ = true;
    return std::nullopt;
}

std::optional<std::string> LogSequenceConversion::ColumnLabel(const std::string& numberText,
                                                              const std::string& path) {
    switch (settings_.label) {
    case LabelKind::FileName:
        return singleFile_ ? first_.title : first_.base + "_" + numberText;
    case LabelKind::FileNumber:
        return singleFile_ ? first_.title : numberText;
    case LabelKind::TimeStamp:
    case LabelKind::ElapsedTime: {
        const std::optional<TimeStamp> stamp = CheckedStamp(path);
        if (!stamp)
            return std::nullopt;
        if (settings_.label == LabelKind::TimeStamp)
            return stamp->text;
        return Formatted("%lld", stamp->time - startTime_);
    }
    case LabelKind::None:
        break;
    }
    return std::nullopt;
}

void LogSequenceConversion::WriteColumn(const std::string& numberText,
                                        const std::optional<std::string>& label) {
    const std::string singleName = first_.folder + "/" + first_.title;
    bool written = false;
    if (settings_.organization == Organization::IndividualFiles)
        written = WriteFirstColumn(singleFile_ ? singleName : basePath_ + "_" + numberText, label);
    else if (singleFile_)
        written = WriteFirstColumn(singleName, label);
    else if (processed_ == 0) {
        written = WriteFirstColumn(tableName_, label);
        written = StartColumnScratch(label) && written;
    } else
        written = AppendTableColumn(label);
    anyWriteFailed_ = anyWriteFailed_ || !written;
}

bool LogSequenceConversion::WriteFirstColumn(const std::string& name,
                                             const std::optional<std::string>& label) {
    OutputFile out;
    if (out.Create(OutputPath(name))) {
        if (format_->HasHeader(label)) {
            out.Write(format_->FirstHeader(label));
            out.Write(TableFormat::kLineEnd);
        }
        for (int r = 0; r < format_->Rows(); ++r) {
            format_->WriteRowStart(out, r, buffers_.binned[static_cast<std::size_t>(r)]);
            out.Write(TableFormat::kLineEnd);
        }
        if (out.Finish() && out.Publish())
            return true;
    }
    host_.AddProgressLine(kUnableToWrite);
    return false;
}

bool LogSequenceConversion::StartColumnScratch(const std::optional<std::string>& label) {
    // A temporary table left by an earlier run would be replaced anyway; it must not outlive this one.
    ::unlink(OutputPath(temporaryTableName_).c_str());
    if (!scratch_.Create(first_.folder, format_->Rows()) || !scratch_.Append(buffers_.binned.data())) {
        host_.AddProgressLine(kUnableToWrite);
        return false;
    }
    if (format_->HasHeader(label))
        tableHeader_ = format_->FirstHeader(label);
    return true;
}

bool LogSequenceConversion::AppendTableColumn(const std::optional<std::string>& label) {
    if (!scratch_.Append(buffers_.binned.data())) {
        host_.AddProgressLine(kUnableToReadWrite);
        return false;
    }
    if (tableHeader_)
        *tableHeader_ += TableFormat::FurtherHeader(label);
    return true;
}

void LogSequenceConversion::EndFiles() {
    // With one column the table written for the first file is already complete.
    if (!TableOfSeries() || scratch_.Columns() < 2)
        return End();
    tableWriter_ = std::make_unique<TableFileWriter>(*format_, scratch_);
    if (tableWriter_->Begin(OutputPath(tableName_), OutputPath(temporaryTableName_), tableHeader_)) {
        phase_ = Phase::Table;
        return;
    }
    host_.AddProgressLine(kUnableToReadWrite);
    anyWriteFailed_ = true;
    End();
}

void LogSequenceConversion::WriteTableBlock() {
    if (tableWriter_->WriteNextBlock())
        return;
    if (!tableWriter_->Finish()) {
        host_.AddProgressLine(kUnableToReadWrite);
        anyWriteFailed_ = true;
    }
    tableWriter_.reset();
    End();
}

void LogSequenceConversion::End() {
    const bool failed = stopped_ || anyInputUnreadable_ || anyWriteFailed_;
    host_.AddProgressLine(failed ? "Conversion Aborted due to Errors!"
                                 : "Conversion Completed Successfully!");
    outcome_ = failed ? ConversionOutcome::Failed : ConversionOutcome::Completed;
    phase_ = Phase::Ended;
}

} // namespace kettrim
