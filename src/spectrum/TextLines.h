#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The lines of a spectrum or register file as the analyzer reads them, one "%255[^\n]%*c" at a time: a line
// of up to 255 characters is one piece, a longer line is cut into 255-character pieces and the character
// after each piece is consumed; an empty line is an empty piece. A CR before an LF is dropped first, so a
// file written on Windows reads the same. At most a fixed number of pieces is ever handed out (the files
// are read only up to their first 50000 lines). A NUL byte ends a piece's text, as it ends a C string.
class TextLines {
public:
    static constexpr std::size_t kPieceLength = 255;
    static constexpr std::size_t kMaxLines = 50000;

    explicit TextLines(std::string text, std::size_t maxLines = kMaxLines);

    // Reads a file; false when it cannot be opened as a regular file. Reads no more of it than the
    // line limit can reach.
    static bool ReadFile(const std::string& path, std::string& text, std::size_t maxLines = kMaxLines);

    // The next piece; false at the end of the text or of the counted lines.
    bool Next(std::string_view& piece);
    std::size_t LinesRead() const { return count_; }

private:
    std::string text_;
    std::size_t pos_ = 0;
    std::size_t count_ = 0;
    std::size_t max_;
};

// The line without its space characters (only ' '; other white space stays), into out.
void RemoveSpaces(std::string_view line, std::string& out);
// Text between the first "<" and the first ">" of the line, lower-cased; empty when the ">" does not
// follow the "<".
std::string FirstTag(std::string_view line);
// Text between the first "<" and the next ">" after it, lower-cased.
std::string FirstTagAfterOpening(std::string_view line);
bool Contains(std::string_view text, std::string_view part);
// The line with the first opening tag and then the first closing tag removed, when it contains both.
bool TagValue(std::string_view line, std::string_view open, std::string_view close, std::string& value);

// Numbers as the C library reads them: leading white space, a sign, digits; text that is no number is 0.
int CAtoi(const std::string& text);
double CAtof(const std::string& text);
// strtoul into 32 bits: "+" accepted, a "-" negates modulo 2^32, too many digits give 0xFFFFFFFF.
std::uint32_t CStrtoul32(std::string_view text);

} // namespace orvane
