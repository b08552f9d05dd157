#pragma once

namespace kettrim {

enum class Organization { Table = 0, IndividualFiles = 1 };

enum class LabelKind { FileName = 0, FileNumber = 1, TimeStamp = 2, ElapsedTime = 3, None = 4 };

// The output choices of a conversion; the spectrum size lives in the size list.
struct ConversionSettings {
    static constexpr int kMinIncrement = 1;
    static constexpr int kMaxIncrement = 10000;

    int increment = 1;
    Organization organization = Organization::Table;
    LabelKind label = LabelKind::FileName;
    bool channelColumn = false;
};

} // namespace kettrim
