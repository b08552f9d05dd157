#pragma once

#include "organizer/ConversionSettings.h"

#include <string>

namespace kettrim::test {

// The conversion as the organizer always did it, kept only to compare bytes with: the table grows by one
// column per file, rewritten in full from the CR LF temporary table each pass. Quadratic in the number of
// files, and deliberately plain. Readers, rebinning and stamps are the organizer's own.
class PerPassReference {
public:
    static void Convert(const std::string& firstPath, const std::string& lastPath,
                        const ConversionSettings& settings, int size);
};

} // namespace kettrim::test
