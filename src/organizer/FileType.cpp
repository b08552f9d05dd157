#include "organizer/FileType.h"

#include <strings.h>

namespace kettrim {

bool IsSingleSpectrumType(const std::string& extension) {
    return strcasecmp(extension.c_str(), "qxs") == 0;
}

bool IsFourSegmentType(const std::string& extension) {
    return strcasecmp(extension.c_str(), "qps") == 0;
}

int SpectrumChannels(const std::string& extension) {
    return IsSingleSpectrumType(extension) ? 16384 : 4096;
}

} // namespace kettrim
