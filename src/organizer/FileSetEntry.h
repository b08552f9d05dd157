#pragma once

#include <string>

namespace kettrim {

// One side of the file set (first or last file), taken apart the way the logger names its files:
// base + "_" + number + "." + extension, for example run_0007.qxs.
struct FileSetEntry {
    std::string fullPath;
    std::string folder; // without a trailing separator; "." for a bare name
    std::string fileName;
    std::string extension; // after the last ".", without the dot
    std::string title;     // the name up to the last "."
    std::string base;      // the name up to the last "_" (the title when there is none)
    int number = 0;        // 0: the file is not part of a numbered series

    static FileSetEntry FromPath(const std::string& path);
};

} // namespace kettrim
