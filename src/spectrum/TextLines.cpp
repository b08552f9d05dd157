#include "spectrum/TextLines.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

// Drops every CR that comes right before an LF, in place.
void DropCrBeforeLf(std::string& text) {
    const char* first = static_cast<const char*>(std::memchr(text.data(), '\r', text.size()));
    if (!first)
        return;
    std::size_t out = static_cast<std::size_t>(first - text.data());
    for (std::size_t in = out; in < text.size(); ++in) {
        if (text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n')
            continue;
        text[out++] = text[in];
    }
    text.resize(out);
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

TextLines::TextLines(std::string text, std::size_t maxLines) : text_(std::move(text)), max_(maxLines) {
    DropCrBeforeLf(text_);
}

bool TextLines::ReadFile(const std::string& path, std::string& text, std::size_t maxLines) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Each counted line consumes at most 256 characters, each of which may have carried a dropped CR.
    const std::size_t reach = maxLines * (kPieceLength + 1) * 2;
    text.clear();
    if (S_ISREG(st.st_mode))
        text.reserve(std::min<std::size_t>(static_cast<std::size_t>(st.st_size), reach));
    char buffer[65536];
    while (text.size() < reach) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, reach - text.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // a read error ends the file as its end would
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool TextLines::Next(std::string_view& piece) {
    if (count_ >= max_ || pos_ >= text_.size())
        return false;
    ++count_;
    // Lines are mostly a few characters long: one plain scan beats library calls here.
    const char* start = text_.data() + pos_;
    const std::size_t limit = std::min(text_.size() - pos_, kPieceLength);
    std::size_t length = 0, nul = limit;
    for (; length < limit; ++length) {
        const char c = start[length];
        if (c == '\n')
            break;
        if (c == '\0' && nul == limit)
            nul = length;
    }
    // Either the piece and the character after it, or (nothing matched) the single character alone.
    pos_ = std::min(pos_ + length + 1, text_.size());
    piece = std::string_view(start, std::min(length, nul));
    return true;
}

void RemoveSpaces(std::string_view line, std::string& out) {
    out.resize(line.size());
    char* to = out.data();
    for (const char c : line) {
        *to = c;
        to += c != ' ';
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}

std::string FirstTag(std::string_view line) {
    const std::size_t open = line.find('<');
    const std::size_t close = line.find('>');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return {};
    return Lower(line.substr(open + 1, close - open - 1));
}

std::string FirstTagAfterOpening(std::string_view line) {
    const std::size_t open = line.find('<');
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = line.find('>', open + 1);
    if (close == std::string_view::npos)
        return {};
    return Lower(line.substr(open + 1, close - open - 1));
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool TagValue(std::string_view line, std::string_view open, std::string_view close, std::string& value) {
    if (!Contains(line, open) || !Contains(line, close))
        return false;
    value.assign(line);
    value.erase(value.find(open), open.size());
    const std::size_t at = value.find(close);
    if (at != std::string::npos)
        value.erase(at, close.size());
    return true;
}

int CAtoi(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

double CAtof(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

std::uint32_t CStrtoul32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (overflow)
        return 0xFFFFFFFFu;
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

} // namespace orvane
