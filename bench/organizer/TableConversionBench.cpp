// Table conversion of a series of 16384-channel qxs files: the organizer's one-pass table against the
// per-pass algorithm (the whole table rewritten once per file). Each conversion runs in a child process,
// so its peak memory is its own. Usage: kettrim_table_bench [FOLDER] (default: a fresh folder in TMPDIR).

#include "organizer/ConversionHost.h"
#include "organizer/LogOrganizer.h"
#include "support/PerPassReference.h"
#include "support/SeriesWriter.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kettrim::test::SeriesWriter;

constexpr int kLargestSeries = 1000;

class SilentHost : public kettrim::ConversionHost {
public:
    void AddProgressLine(const std::string&) override {}
    void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

struct Measurement {
    double seconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

Measurement InChild(const std::function<bool()>& body) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body() ? 0 : 1);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    Measurement m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

std::string RunPath(const std::string& folder, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "/run_%04d.qxs", n);
    return folder + name;
}

std::string TablePath(const std::string& folder, int files) {
    char name[48];
    std::snprintf(name, sizeof name, "/run_0001_to_%04d_+1_qxs.csv", files);
    return folder + name;
}

Measurement Linear(const std::string& folder, int files) {
    return InChild([&] {
        kettrim::LogOrganizer organizer;
        organizer.ChooseFirstFile(RunPath(folder, 1));
        organizer.ChooseLastFile(RunPath(folder, files));
        organizer.CountFilesToProcess();
        SilentHost host;
        return organizer.ConvertLogSequence(host) == kettrim::ConversionOutcome::Completed;
    });
}

Measurement PerPass(const std::string& folder, int files) {
    return InChild([&] {
        kettrim::test::PerPassReference::Convert(RunPath(folder, 1), RunPath(folder, files), {}, 16384);
        return fs::exists(TablePath(folder, files));
    });
}

void Report(const char* what, int files, const Measurement& m) {
    std::printf("%-9s %5d files: %8.2f s   peak %7.1f MB%s\n", what, files, m.seconds, m.peakMegabytes,
                m.ok ? "" : "   FAILED");
}

} // namespace

int main(int argc, char** argv) {
    std::string folder;
    if (argc > 1) {
        folder = argv[1];
        fs::create_directories(folder);
    } else {
        const char* root = std::getenv("TMPDIR");
        std::string pattern = std::string(root && *root ? root : "/tmp") + "/kettrim-bench-XXXXXX";
        folder = ::mkdtemp(pattern.data());
    }
    std::printf("Writing %d qxs files of 16384 channels in %s\n", kLargestSeries, folder.c_str());
    for (int n = 1; n <= kLargestSeries; ++n)
        if (!fs::exists(RunPath(folder, n)))
            SeriesWriter::WriteQxs(RunPath(folder, n), SeriesWriter::SampleCounts(16384, n),
                                   kettrim::test::StampedRegisters(kettrim::test::StampSource::Utc, 2024, 1,
                                                                   1 + n / 60, n / 60 % 24, n % 60, 0));

    std::printf("Table, FILE NAME labels, size 16384\n");
    const Measurement linear100 = Linear(folder, 100);
    Report("one-pass", 100, linear100);
    const std::string linearTable = SeriesWriter::ReadText(TablePath(folder, 100));
    const Measurement linear1000 = Linear(folder, kLargestSeries);
    Report("one-pass", kLargestSeries, linear1000);

    Report("per-pass", 50, PerPass(folder, 50));
    const Measurement perPass100 = PerPass(folder, 100);
    Report("per-pass", 100, perPass100);
    const bool same = SeriesWriter::ReadText(TablePath(folder, 100)) == linearTable;
    const Measurement perPass200 = PerPass(folder, 200);
    Report("per-pass", 200, perPass200);

    // t(n) = a n + b n^2 through the per-pass points at 100 and 200 files, for the series too long to run.
    const double b = (perPass200.seconds / 200.0 - perPass100.seconds / 100.0) / 100.0;
    const double a = perPass100.seconds / 100.0 - b * 100.0;
    const double perPass1000 = a * kLargestSeries + b * kLargestSeries * kLargestSeries;
    std::printf("per-pass  %5d files: %8.2f s   (extrapolated from 100 and 200 files)\n", kLargestSeries,
                perPass1000);
    std::printf("one-pass growth 100 -> 1000 files: x%.1f (linear: x10)\n",
                linear1000.seconds / linear100.seconds);
    std::printf("speed-up over per-pass: x%.1f at 100 files, x%.0f at 1000 files\n",
                perPass100.seconds / linear100.seconds, perPass1000 / linear1000.seconds);
    std::printf("tables of 100 files byte-identical: %s\n", same ? "yes" : "NO");
    if (argc <= 1)
        fs::remove_all(folder);
    return linear100.ok && linear1000.ok && perPass100.ok && perPass200.ok && same ? 0 : 1;
}
