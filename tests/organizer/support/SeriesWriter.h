#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace kettrim::test {

using Registers = std::array<std::uint16_t, 128>;
using Counts = std::vector<std::uint32_t>;

enum class StampSource { Local, Utc, System };

// Register words 16, 22 and 23 as the analyzer stamps a run's start.
Registers StampedRegisters(StampSource source, int year, int month, int day, int hours, int minutes,
                           int seconds);

// Writes input files the way the analyzer's logger (qxs) and the Trelon instrument (qps) write them.
class SeriesWriter {
public:
    struct Options {
        bool crlf = false;
        std::set<int> markedChannels; // written with a leading "+"
    };

    static void WriteQxs(const std::string& path, const Counts& counts, const Registers& registers,
                         const Options& options);
    static void WriteQxs(const std::string& path, const Counts& counts, const Registers& registers) {
        WriteQxs(path, counts, registers, Options{});
    }
    static void WriteQps(const std::string& path, const std::array<Counts, 4>& spectra,
                         const Registers& registers, bool crlf = false);
    static void WriteText(const std::string& path, const std::string& text);
    static std::string ReadText(const std::string& path);

    // A spectrum of `channels` counts that differs from file to file (`seed`), with a peak.
    static Counts SampleCounts(int channels, int seed);
};

} // namespace kettrim::test
