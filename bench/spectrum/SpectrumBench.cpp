// Spectrum file load and save, both exports and a full refold of a 16384-channel record, with a naive
// per-line sscanf loader as the baseline the loader is compared with.
#include "session/ParameterMap.h"
#include "shell/Host.h"
#include "spectrum/SpectrumExporter.h"
#include "spectrum/SpectrumFileReader.h"
#include "spectrum/SpectrumFileWriter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

namespace orvane {
namespace {

class QuietHost : public Host {
public:
    int MessageBox(const std::string& text, const std::string&, MessageIcon, MessageButtons) override {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        std::abort();
    }
};

// A measured-looking spectrum: a continuum falling with the channel and a photopeak, counts up to ~10^6.
CSpectrum MakeRecord() {
    CSpectrum s(true);
    s.SetShown(true);
    for (int h = 0; h < CSpectrum::kChannels; ++h) {
        const double continuum = 20000.0 * std::exp(-h / 3000.0);
        const double peak = 900000.0 * std::exp(-0.5 * std::pow((h - 9000) / 25.0, 2));
        s.HardCounts()[h] = static_cast<std::uint32_t>(continuum + peak);
    }
    for (int h = 8950; h <= 9050; ++h)
        s.HardMarks()[h] = 1;
    s.SetSizes(16384, 4096);
    s.Image().Set(reg::kPlatform, 0x1008);
    s.Image().Set(reg::kStartDate, EncodeDateWord(2026, 3, 9));
    s.Image().Set(reg::kStartTime, EncodeTimeWord(14, 2, 36));
    s.Image().SetPair(reg::kRealTime, 60000);
    s.Image().SetPair(reg::kLiveTime, 59812);
    s.SetPlatformCode(kPlatformKiramo);
    s.SetTag("benchmark run");
    return s;
}

struct Folder {
    std::string path;
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

Folder& Temp() {
    static Folder folder;
    return folder;
}

const std::string& SampleFile() {
    static const std::string path = [] {
        QuietHost host;
        CSpectrum s = MakeRecord();
        const std::string p = Temp().path + "/sample.qxs";
        SpectrumFileWriter(host).Save(s, p);
        return p;
    }();
    return path;
}

// The baseline: fgets and sscanf on every line, strstr for the tags, none of the reading rules.
bool NaiveLoad(const char* path, CSpectrum& s) {
    FILE* f = std::fopen(path, "r");
    if (!f)
        return false;
    enum { kTop, kSpectrum, kData, kRegisters, kRegisterData } state = kTop;
    char line[512];
    int hard = 16384, soft = 512, k = 0;
    while (std::fgets(line, sizeof line, f)) {
        unsigned value = 0;
        switch (state) {
        case kTop:
            if (std::strstr(line, "<spectrum>"))
                state = kSpectrum;
            else if (std::strstr(line, "<registers>"))
                state = kRegisters;
            break;
        case kSpectrum:
            std::sscanf(line, " <hardsize>%d", &hard);
            std::sscanf(line, " <softsize>%d", &soft);
            if (std::strstr(line, "<data>")) {
                state = kData;
                k = 0;
            } else if (std::strstr(line, "</spectrum>")) {
                state = kTop;
            }
            break;
        case kData:
            if (std::strstr(line, "</data>")) {
                state = kSpectrum;
            } else if (k < hard && k < CSpectrum::kChannels) {
                const bool marked = line[0] == '+';
                std::sscanf(line + (marked ? 1 : 0), "%u", &value);
                s.HardMarks()[static_cast<std::size_t>(k)] = marked ? 1 : 0;
                s.HardCounts()[static_cast<std::size_t>(k++)] = value;
            }
            break;
        case kRegisters:
            if (std::strstr(line, "<data>")) {
                state = kRegisterData;
                k = 0;
            } else if (std::strstr(line, "</registers>")) {
                state = kTop;
            }
            break;
        case kRegisterData:
            if (std::strstr(line, "</data>"))
                state = kRegisters;
            else if (k < RegisterImage::kRegisters && std::sscanf(line, "%u", &value) == 1)
                s.Image().Set(k++, static_cast<std::uint16_t>(value));
            break;
        }
    }
    std::fclose(f);
    s.AssignSizes(hard, soft);
    s.Fold();
    return true;
}

void BM_LoadSpectrumFile(benchmark::State& state) {
    QuietHost host;
    CSpectrum s(false);
    s.SetShown(true);
    const std::string& path = SampleFile();
    for (auto _ : state) {
        SpectrumFileReader(host).Load(s, path, "sample.qxs");
        benchmark::DoNotOptimize(s.SoftCounts()[1000]);
    }
}
BENCHMARK(BM_LoadSpectrumFile)->Unit(benchmark::kMicrosecond);

void BM_NaiveSscanfLoad(benchmark::State& state) {
    CSpectrum s(false);
    const std::string& path = SampleFile();
    for (auto _ : state) {
        NaiveLoad(path.c_str(), s);
        benchmark::DoNotOptimize(s.SoftCounts()[1000]);
    }
    // The baseline must read what the loader reads.
    QuietHost host;
    CSpectrum loaded(false);
    loaded.SetShown(true);
    SpectrumFileReader(host).Load(loaded, path, "sample.qxs");
    if (loaded.HardCounts() != s.HardCounts() || loaded.HardMarks() != s.HardMarks())
        state.SkipWithError("the baseline read different counts");
}
BENCHMARK(BM_NaiveSscanfLoad)->Unit(benchmark::kMicrosecond);

void BM_FormatSpectrumFile(benchmark::State& state) {
    const CSpectrum s = MakeRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(SpectrumFileWriter::Format(s));
}
BENCHMARK(BM_FormatSpectrumFile)->Unit(benchmark::kMicrosecond);

// The whole save: format, temporary file, fsync, rename.
void BM_SaveSpectrumFile(benchmark::State& state) {
    QuietHost host;
    CSpectrum s = MakeRecord();
    SpectrumFileWriter writer(host);
    const std::string path = Temp().path + "/saved.qxs";
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.Save(s, path));
}
BENCHMARK(BM_SaveSpectrumFile)->Unit(benchmark::kMicrosecond);

// The same without waiting for the device: what the save itself costs, apart from the disk's flush.
class NoFlush : public FileIo {
public:
    int Fsync(int) override { return 0; }
};

void BM_SaveSpectrumFileWithoutFsync(benchmark::State& state) {
    QuietHost host;
    NoFlush io;
    CSpectrum s = MakeRecord();
    SpectrumFileWriter writer(host, io);
    const std::string path = Temp().path + "/saved-nosync.qxs";
    for (auto _ : state)
        benchmark::DoNotOptimize(writer.Save(s, path));
}
BENCHMARK(BM_SaveSpectrumFileWithoutFsync)->Unit(benchmark::kMicrosecond);

void BM_ExportCsvHard(benchmark::State& state) {
    QuietHost host;
    CSpectrum s = MakeRecord();
    SpectrumExporter exporter(host);
    const std::string path = Temp().path + "/export.csv";
    for (auto _ : state)
        benchmark::DoNotOptimize(exporter.ExportCsv(s, path, true));
}
BENCHMARK(BM_ExportCsvHard)->Unit(benchmark::kMicrosecond);

void BM_ExportChnHard(benchmark::State& state) {
    QuietHost host;
    CSpectrum s = MakeRecord();
    SpectrumExporter exporter(host);
    const std::string path = Temp().path + "/export.chn";
    for (auto _ : state)
        benchmark::DoNotOptimize(exporter.ExportChn(s, path, true));
}
BENCHMARK(BM_ExportChnHard)->Unit(benchmark::kMicrosecond);

void BM_FormatCsvHard(benchmark::State& state) {
    const CSpectrum s = MakeRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(SpectrumExporter::FormatCsv(s, true));
}
BENCHMARK(BM_FormatCsvHard)->Unit(benchmark::kMicrosecond);

void BM_FormatChnHard(benchmark::State& state) {
    const CSpectrum s = MakeRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(SpectrumExporter::FormatChn(s, true));
}
BENCHMARK(BM_FormatChnHard)->Unit(benchmark::kMicrosecond);

// A full refold of 16384 hard channels into the soft size given.
void BM_Refold(benchmark::State& state) {
    CSpectrum s = MakeRecord();
    s.SetSizes(16384, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        s.Fold();
        benchmark::DoNotOptimize(s.SoftCounts()[0]);
    }
    state.SetLabel("factor " + std::to_string(s.BinningFactor()));
}
BENCHMARK(BM_Refold)->Arg(16384)->Arg(5461)->Arg(1489)->Arg(512)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's CPU time (the median when repeated) so the loader's ratio to the baseline can be
// printed at the end; CPU time, since other work on the machine inflates the wall time of both.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name.empty() || run.aggregate_name == "median")
                cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> cpuTimes;
};

} // namespace
} // namespace orvane

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    orvane::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto loader = reporter.cpuTimes.find("BM_LoadSpectrumFile");
    const auto naive = reporter.cpuTimes.find("BM_NaiveSscanfLoad");
    if (loader != reporter.cpuTimes.end() && naive != reporter.cpuTimes.end() && loader->second > 0)
        std::printf("\nCPU time of the naive sscanf loader / the loader: %.2f\n",
                    naive->second / loader->second);
    benchmark::Shutdown();
    return 0;
}
