#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A small JSON writer for the command line's reports: objects indented two spaces a level, arrays of
// plain values on one line. Text is written as UTF-8; bytes that are not valid UTF-8 are taken as Latin-1.
class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The next value's name inside an object.
    JsonWriter& Key(std::string_view name);

    void String(std::string_view text);
    void Int(std::int64_t value);
    void Unsigned(std::uint64_t value);
    // Shortest text that reads back as the same double; NaN and infinities become null.
    void Double(double value);
    void Bool(bool value);

    const std::string& Text() const { return out_; }

    static std::string Quote(std::string_view text);

private:
    struct Level {
        bool object = false;
        bool empty = true;
        bool hasContainers = false;
    };
    void BeforeValue(bool container);
    void NewLine();

    std::string out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace orvane
