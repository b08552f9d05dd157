#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace orvane {

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07u;
    } else {
        return 0;
    }
    if (i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(text[i + k]);
        if ((d & 0xC0u) != 0x80u)
            return 0;
        cp = (cp << 6) | (d & 0x3Fu);
    }
    const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return overlong || surrogate || cp > 0x10FFFF ? 0 : n;
}

} // namespace

std::string JsonWriter::Quote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char escape[8];
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (const std::size_t n = Utf8Length(text, i)) {
            out.append(text.substr(i, n));
            i += n - 1;
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        }
    }
    out.push_back('"');
    return out;
}

void JsonWriter::NewLine() {
    out_.push_back('\n');
    out_.append(2 * levels_.size(), ' ');
}

void JsonWriter::BeforeValue(bool container) {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty())
        return;
    Level& level = levels_.back();
    if (!level.empty)
        out_.push_back(',');
    level.empty = false;
    if (container)
        level.hasContainers = true;
    if (container || level.hasContainers)
        NewLine();
    else if (out_.back() == ',')
        out_.push_back(' ');
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    Level& level = levels_.back();
    if (!level.empty)
        out_.push_back(',');
    level.empty = false;
    NewLine();
    out_ += Quote(name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

void JsonWriter::BeginObject() {
    BeforeValue(true);
    out_.push_back('{');
    levels_.push_back(Level{true, true, true});
}

void JsonWriter::EndObject() {
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty)
        NewLine();
    out_.push_back('}');
    if (levels_.empty())
        out_.push_back('\n');
}

void JsonWriter::BeginArray() {
    BeforeValue(true);
    out_.push_back('[');
    levels_.push_back(Level{false, true, false});
}

void JsonWriter::EndArray() {
    const Level level = levels_.back();
    levels_.pop_back();
    if (level.hasContainers && !level.empty)
        NewLine();
    out_.push_back(']');
}

void JsonWriter::String(std::string_view text) {
    BeforeValue(false);
    out_ += Quote(text);
}

void JsonWriter::Int(std::int64_t value) {
    BeforeValue(false);
    out_ += std::to_string(value);
}

void JsonWriter::Unsigned(std::uint64_t value) {
    BeforeValue(false);
    out_ += std::to_string(value);
}

void JsonWriter::Double(double value) {
    BeforeValue(false);
    if (!std::isfinite(value)) {
        out_ += "null";
        return;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out_.append(text, static_cast<std::size_t>(end - text));
}

void JsonWriter::Bool(bool value) {
    BeforeValue(false);
    out_ += value ? "true" : "false";
}

} // namespace orvane
