#include "support/SeriesWriter.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kettrim::test {

Registers StampedRegisters(StampSource source, int year, int month, int day, int hours, int minutes,
                           int seconds) {
    Registers registers{};
    registers[16] = static_cast<std::uint16_t>(0x0003 | (source == StampSource::Utc      ? 1u << 10
                                                         : source == StampSource::System ? 1u << 11
                                                                                         : 0u));
    registers[22] = static_cast<std::uint16_t>((year - 2000) << 9 | month << 5 | day);
    registers[23] = static_cast<std::uint16_t>(hours << 11 | minutes << 5 | seconds >> 1);
    return registers;
}

void SeriesWriter::WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

std::string SeriesWriter::ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SeriesWriter::WriteQxs(const std::string& path, const Counts& counts, const Registers& registers,
                            const Options& options) {
    const char* end = options.crlf ? "\r\n" : "\n";
    std::ostringstream text;
    text << "<?xml version=\"1.0\"?>" << end << "<Kiramo>" << end << " <serialnumber>01234</serialnumber>"
         << end << "<spectrum>" << end << "  <tag>run tag</tag>" << end << "  <hardsize>" << counts.size()
         << "</hardsize>" << end << "  <softsize>1024</softsize>" << end << "  <data>" << end;
    for (std::size_t i = 0; i < counts.size(); ++i)
        text << (options.markedChannels.count(static_cast<int>(i)) ? "+" : "") << counts[i] << end;
    text << "  </data>" << end << "</spectrum>" << end << "<time>" << end << "  <real>   10.0000</real>"
         << end << "  <live>    9.5000</live>" << end << "  <dead>    5.0000</dead>" << end
         << "  <date>05/12/2019  14:03:22</date>" << end << "</time>" << end << "<registers>" << end
         << "  <size>128</size>" << end << "  <data>" << end;
    for (std::uint16_t word : registers)
        text << word << end;
    text << "  </data>" << end << "</registers>" << end << "<calibration>" << end << "  <enabled>NO</enabled>"
         << end << "  <units>0</units>" << end << "  <useall>NO</useall>" << end << "</calibration>" << end
         << "<volatile>" << end << "  <firmware> 2.05</firmware>" << end << "  <intemp>35</intemp>" << end
         << "  <slowadvc>12.50</slowadc>" << end << "</volatile>" << end << "</Kiramo>" << end;
    WriteText(path, text.str());
}

void SeriesWriter::WriteQps(const std::string& path, const std::array<Counts, 4>& spectra,
                            const Registers& registers, bool crlf) {
    const char* end = crlf ? "\r\n" : "\n";
    std::ostringstream text;
    text << "<?xml version=\"1.0\"?>" << end << "<Trelon>" << end;
    for (int k = 0; k < 4; ++k) {
        text << "<spectrum" << k << ">" << end << "<size>" << spectra[k].size() << "</size>" << end
             << "<data>" << end;
        for (std::uint32_t count : spectra[k])
            text << count << end;
        text << "</data>" << end << "</spectrum" << k << ">" << end;
    }
    text << "<registers>" << end << "<size>128</size>" << end << "<data>" << end;
    for (std::uint16_t word : registers)
        text << word << end;
    text << "</data>" << end << "</registers>" << end << "</Trelon>" << end;
    WriteText(path, text.str());
}

Counts SeriesWriter::SampleCounts(int channels, int seed) {
    Counts counts(static_cast<std::size_t>(channels));
    std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(seed) * 7919u;
    const int peak = channels / 3 + seed * 7 % (channels / 4 + 1);
    for (int i = 0; i < channels; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const int distance = i > peak ? i - peak : peak - i;
        const std::uint32_t peakCounts =
            distance < 40 ? static_cast<std::uint32_t>((40 - distance) * 250) : 0u;
        counts[static_cast<std::size_t>(i)] = state % 60 + peakCounts;
    }
    return counts;
}

} // namespace kettrim::test
