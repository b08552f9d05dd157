#include "panels/RegisterFile.h"

#include "spectrum/TextLines.h"

#include <algorithm>
#include <charconv>

namespace orvane {

using namespace std::string_view_literals;

void RegisterFile::LoadText(std::string text, Words& words) {
    TextLines lines(std::move(text));
    std::string_view raw;
    std::string line, value;
    auto next = [&] {
        if (!lines.Next(raw))
            return false;
        RemoveSpaces(raw, line);
        return true;
    };
    while (next()) {
        if (FirstTagAfterOpening(line) != "registers")
            continue;
        int count = kWords;
        // Until the current line is "</registers>"; the values' last line counts as current too.
        while (line != "</registers>"sv) {
            if (!next())
                return;
            if (TagValue(line, "<size>", "</size>", value))
                count = std::clamp(CAtoi(value), 0, kWords);
            if (!Contains(line, "<data>"))
                continue;
            // count values, then one further line; "</data>" ends them early.
            for (int k = 0; k <= count; ++k) {
                if (!next())
                    return;
                if (line == "</data>"sv || k == count)
                    break;
                words[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(CAtoi(line));
            }
        }
    }
}

bool RegisterFile::Load(const std::string& path, Words& words) {
    std::string text;
    if (!TextLines::ReadFile(path, text))
        return false;
    LoadText(std::move(text), words);
    return true;
}

std::string RegisterFile::Format(const Words& words) {
    std::string out = "<registers>\n  <size>128</size>\n  <data>\n";
    char digits[16];
    for (const std::uint16_t w : words) {
        const char* end = std::to_chars(digits, digits + sizeof digits, w).ptr;
        out.append(digits, static_cast<std::size_t>(end - digits));
        out.push_back('\n');
    }
    out += "  </data>\n</registers>\n";
    return out;
}

SafeWriteResult RegisterFile::Save(const std::string& path, const Words& words, FileIo& io) {
    return WriteFileSafely(path, Format(words), io);
}

} // namespace orvane
