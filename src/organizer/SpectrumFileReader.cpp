#include "organizer/SpectrumFileReader.h"

#include "organizer/PieceReader.h"
#include "organizer/TextNumber.h"

#include <algorithm>
#include <optional>

namespace kettrim {
namespace {

constexpr int kSpectraPerMultiFile = 4;
constexpr int kMultiSpectrumChannels = SpectrumBuffers::kChannels / kSpectraPerMultiFile;

bool Contains(std::string_view piece, std::string_view text) {
    return piece.find(text) != std::string_view::npos;
}

// The text between the first "<" and the next ">", lower-cased; none when the piece holds no such pair.
std::optional<std::string> TagOf(std::string_view piece) {
    const std::size_t open = piece.find('<');
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = piece.find('>', open + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string tag(piece.substr(open + 1, close - open - 1));
    for (char& c : tag)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return tag;
}

// Index 0 to 3 of a "spectrum0" to "spectrum3" tag.
std::optional<int> MultiSpectrumIndex(const std::string& tag) {
    if (tag.size() == 9 && tag.compare(0, 8, "spectrum") == 0 && tag[8] >= '0' &&
        tag[8] < '0' + kSpectraPerMultiFile)
        return tag[8] - '0';
    return std::nullopt;
}

std::string WithoutFirst(std::string_view piece, std::string_view text) {
    std::string result(piece);
    const std::size_t at = result.find(text);
    if (at != std::string::npos)
        result.erase(at, text.size());
    return result;
}

} // namespace

bool SpectrumFileReader::ReadSingleSpectrumFile(const std::string& path, SpectrumBuffers& buffers) {
    return Read(path, Type::Single, buffers);
}

bool SpectrumFileReader::ReadMultiSpectrumFile(const std::string& path, SpectrumBuffers& buffers) {
    return Read(path, Type::Multi, buffers);
}

bool SpectrumFileReader::Read(const std::string& path, Type type, SpectrumBuffers& buffers) {
    PieceReader reader;
    if (!reader.Open(path))
        return false;
    buffers.counts.fill(0);
    std::string_view piece;
    while (reader.Next(piece)) {
        const std::optional<std::string> tag = TagOf(piece);
        if (!tag)
            continue;
        if (*tag == "registers") {
            ReadRegisterElement(reader, buffers);
        } else if (type == Type::Single && *tag == "spectrum") {
            ReadSpectrumElement(reader, "</spectrum>", buffers.counts.data(), SpectrumBuffers::kChannels);
        } else if (type == Type::Multi) {
            if (const std::optional<int> k = MultiSpectrumIndex(*tag))
                ReadSpectrumElement(reader, "</" + *tag + ">",
                                    buffers.counts.data() + *k * kMultiSpectrumChannels,
                                    kMultiSpectrumChannels);
        }
    }
    return !reader.Failed();
}

void SpectrumFileReader::ReadSpectrumElement(PieceReader& reader, const std::string& closing,
                                             std::uint32_t* values, int capacity) {
    std::string_view piece;
    while (reader.Next(piece) && piece != closing) {
        if (!Contains(piece, "<data>"))
            continue;
        int k = 0;
        while (reader.Next(piece) && piece != "</data>") {
            if (k < capacity)
                values[k++] = ParseUnsigned32(piece);
        }
    }
}

void SpectrumFileReader::ReadRegisterElement(PieceReader& reader, SpectrumBuffers& buffers) {
    int declared = 0;
    std::string_view piece;
    while (reader.Next(piece) && piece != "</registers>") {
        if (Contains(piece, "<size>") && Contains(piece, "</size>")) {
            declared = std::clamp(ParseSigned32(WithoutFirst(WithoutFirst(piece, "<size>"), "</size>")), 0,
                                  SpectrumBuffers::kRegisters);
        } else if (Contains(piece, "<data>")) {
            int k = 0;
            while (reader.Next(piece) && piece != "</data>") {
                if (k < declared)
                    buffers.registers[static_cast<std::size_t>(k++)] =
                        static_cast<std::uint16_t>(ParseSigned32(piece));
            }
        }
    }
}

} // namespace kettrim
