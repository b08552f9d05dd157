#include "organizer/FileSetEntry.h"

#include "organizer/TextNumber.h"

namespace kettrim {

FileSetEntry FileSetEntry::FromPath(const std::string& path) {
    FileSetEntry entry;
    entry.fullPath = path;
    const std::size_t slash = path.rfind('/');
    // A bare name lies in the current folder; a file at the root has the empty folder ("" + "/" + name).
    entry.folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    entry.fileName = slash == std::string::npos ? path : path.substr(slash + 1);

    const std::string& name = entry.fileName;
    const std::size_t dot = name.rfind('.');
    const std::size_t underscore = name.rfind('_');
    entry.extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    entry.title = name.substr(0, dot);
    entry.base = underscore == std::string::npos ? entry.title : name.substr(0, underscore);
    // The number stands between the last "_" and the last "."; digits stop at the first other character.
    if (underscore != std::string::npos) {
        const std::size_t end = (dot == std::string::npos || dot < underscore) ? underscore + 1 : dot;
        entry.number = ParseSigned32(std::string_view(name).substr(underscore + 1, end - underscore - 1));
    }
    return entry;
}

} // namespace kettrim
