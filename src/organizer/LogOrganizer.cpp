#include "organizer/LogOrganizer.h"

#include "organizer/LogSequenceConversion.h"

namespace kettrim {

LogOrganizer::LogOrganizer() : buffers_(std::make_unique<SpectrumBuffers>()) {
    first_.extension = "qxs";
    last_.extension = "qps";
}

LogOrganizer::~LogOrganizer() = default;

void LogOrganizer::ChooseFirstFile(const std::string& path) {
    first_ = FileSetEntry::FromPath(path);
    extensionChosenLast_ = first_.extension;
}

void LogOrganizer::ChooseLastFile(const std::string& path) {
    last_ = FileSetEntry::FromPath(path);
    extensionChosenLast_ = last_.extension;
}

bool LogOrganizer::CountFilesToProcess() {
    sizeList_.Follow(extensionChosenLast_);
    const bool series = first_.extension == last_.extension && first_.folder == last_.folder &&
                        first_.base == last_.base && first_.number != 0 && last_.number != 0;
    if (!series) {
        filesToProcess_ = 0;
        return false;
    }
    if (settings_.increment <= 0)
        settings_.increment = 1;
    const std::int64_t span = static_cast<std::int64_t>(last_.number) - first_.number;
    filesToProcess_ = (span < 0 ? -span : span) / settings_.increment + 1;
    return true;
}

ConversionOutcome LogOrganizer::ConvertLogSequence(ConversionHost& host) {
    LogSequenceConversion conversion(*this, host);
    while (conversion.Step()) {
    }
    return conversion.Outcome();
}

std::unique_ptr<LogSequenceConversion> LogOrganizer::BeginConversion(ConversionHost& host) {
    return std::make_unique<LogSequenceConversion>(*this, host);
}

} // namespace kettrim
