// A full poll cycle of a 16384-channel spectrum (eight chunks and two register reads) against the
// simulated instrument running as its own process, so the process CPU time here is the host's alone.
#include "session/DeviceLink.h"
#include "shell/EventLoop.h"
#include "shell/SystemClock.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <signal.h>
#include <string>
#include <unistd.h>

namespace {

using namespace orvane;

struct NoHost : Host {
    int MessageBox(const std::string& text, const std::string&, MessageIcon, MessageButtons) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return kAnswerOk;
    }
};

struct Counter : DeviceLinkListener {
    long refreshes = 0;
    void OnRegistersRefreshed(bool) override { ++refreshes; }
};

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// Starts orvane-sim and returns its device path.
std::string StartSimulator(const std::string& options, FILE*& pipe) {
    const std::string command = std::string("exec ") + ORVANE_SIM_PATH + " " + options;
    pipe = popen(command.c_str(), "r");
    char line[256] = {};
    if (!pipe || !fgets(line, sizeof line, pipe))
        return "";
    line[std::strcspn(line, "\n")] = '\0';
    return line;
}

struct Result {
    double cycles = 0, seconds = 0, cpu = 0;
};

Result Measure(const std::string& options, double seconds) {
    FILE* pipe = nullptr;
    const std::string path = StartSimulator(options, pipe);
    SystemClock& clock = SystemClock::Instance();
    EventLoop loop(clock);
    OutputLog log(clock, nullptr);
    NoHost host;
    Spectra spectra;
    DeviceIdentity identity(loop);
    DeviceLink link(spectra, log, loop, host, identity);
    Counter counter;
    link.SetListener(&counter);
    spectra.buffer.SetShown(true);
    link.SetPort(path, "SIM", 921600);
    link.ConnectDevice();
    std::function<void()> tick = [&] {
        link.OnLinkTimer();
        loop.PostAfter(200, tick);
    };
    loop.PostAfter(200, tick);
    loop.RunUntil([&] { return counter.refreshes >= 3; }, 10000); // past the first, shorter group
    const long startRefreshes = counter.refreshes;
    const double startCpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    loop.RunUntil([] { return false; }, static_cast<std::int64_t>(seconds * 1000));
    Result r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.cpu = CpuSeconds() - startCpu;
    r.cycles = (counter.refreshes - startRefreshes) / 2.0; // a refresh after every fourth chunk
    link.Port().ClosePort();
    if (pipe) {
        // orvane-sim ends on SIGTERM; the pipe's shell was replaced by it (exec).
        FILE* kill = popen("pkill -TERM -f 'orvane-sim --serial 4242'", "r");
        if (kill)
            pclose(kill);
        pclose(pipe);
    }
    return r;
}

} // namespace

int main() {
    // Bytes on the wire per cycle: eight chunks of 2050 channels (the last 2034), two register reads,
    // and the ten 11-byte commands.
    const double wireBytes = 7 * (2050 * 4 + 25) + (2034 * 4 + 25) + 2 * (254 + 25) + 10 * 11;
    const double lineBytesPerSecond = 921600.0 / 10.0;

    const Result fast = Measure("--serial 4242", 3.0);
    std::printf("unthrottled: %.1f cycles/s, host CPU %.3f ms per cycle, %.1f x the 921600-baud line rate\n",
                fast.cycles / fast.seconds, fast.cpu / fast.cycles * 1000.0,
                fast.cycles * wireBytes / fast.seconds / lineBytesPerSecond);

    const Result paced = Measure("--serial 4242 --line-rate 921600", 6.0);
    const double cycle = paced.seconds / paced.cycles;
    const double wire = wireBytes / lineBytesPerSecond;
    std::printf(
        "line-rate paced: cycle %.3f s, wire time %.3f s, host share %.1f %% (CPU %.3f ms per cycle)\n",
        cycle, wire, (cycle - wire) / cycle * 100.0, paced.cpu / paced.cycles * 1000.0);
    return 0;
}
