// Link benchmarks: the reply check at memory speed, sustained half-spectrum reads from the simulated
// instrument over a pseudo-terminal, and a bare pty ping-pong of register reads as the kernel's floor.
#include "device/CSerialMFC.h"
#include "device/CallbackSerialWindow.h"
#include "device/LinkTransaction.h"
#include "device/SerialEventDispatch.h"
#include "simulator/PtySimulator.h"
#include "support/FakeLoop.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orvane {
namespace {

using namespace frames;

constexpr double kLineBytesPerSecond = 921600.0 / 10.0;

// A port that is open (on a pty nobody talks to) but serves reads from a prepared reply in memory.
class MemoryPort : public CSerial {
public:
    explicit MemoryPort(const std::vector<std::uint8_t>& reply) : reply_(reply) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        OpenPort(ptsname(master_));
    }
    ~MemoryPort() override {
        ClosePort();
        ::close(master_);
    }
    std::int32_t WriteBytes(const void*, std::size_t length, std::size_t* written, SerialCompletion*,
                            std::uint32_t) override {
        offset_ = 0;
        if (written)
            *written = length;
        return 0;
    }
    std::int32_t ReadBytes(void* buffer, std::size_t length, std::size_t* read, SerialCompletion*,
                           std::uint32_t) override {
        const std::size_t n = std::min(length, reply_.size() - offset_);
        std::memcpy(buffer, reply_.data() + offset_, n);
        offset_ += n;
        if (read)
            *read = n;
        return 0;
    }

private:
    std::vector<std::uint8_t> reply_;
    std::size_t offset_ = 0;
    int master_ = -1;
};

struct CountingClient : LinkTransactionClient {
    int PlatformCode() const override { return kPlatformKiramo; }
    void StoreReadings(const Readings&) override {}
    void OnCommandComplete() override { ++completions; }
    void OnCommunicationTimeout() override {}
    LinkTransaction* link = nullptr;
    long completions = 0;
};

std::vector<std::uint8_t> HalfSpectrumReply() {
    std::vector<std::uint8_t> reply(kReceiveSize);
    reply[0] = kReadOpcode;
    Put16(&reply[2], static_cast<std::uint16_t>(kReceiveSize));
    Put32(&reply[4], Address(kSelectRead, 2 * 8192));
    for (std::size_t i = 8; i < reply.size() - 1; ++i)
        reply[i] = static_cast<std::uint8_t>(i * 31);
    reply.back() = Checksum(reply.data(), reply.size() - 1);
    return reply;
}

void BM_ReplyCheckHalfSpectrum(benchmark::State& state) {
    test::FakeLoop loop;
    OutputLog log(loop, nullptr);
    MemoryPort port(HalfSpectrumReply());
    CountingClient client;
    LinkTransaction link(port, log, loop, client);
    for (auto _ : state) {
        link.Prepare(CommandKind::SpectrumChunk, Address(kSelectRead, 2 * 8192), 32768);
        link.SendRead();
        link.OnDataReceived();
        link.SetBusy(false);
    }
    if (client.completions != static_cast<long>(state.iterations()))
        state.SkipWithError("a reply was rejected");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kReceiveSize);
}
BENCHMARK(BM_ReplyCheckHalfSpectrum);

// Half spectra, one after another, from the unthrottled simulator through the real serial layer.
void BM_SustainedHalfSpectrumReads(benchmark::State& state) {
    test::FakeLoop loop;
    OutputLog log(loop, nullptr);
    PtySimulator simulator(loop, {});
    simulator.Start();
    CSerialMFC port;
    CountingClient client;
    LinkTransaction link(port, log, loop, client);
    CallbackSerialWindow window(loop, [&](std::uint32_t param) { DispatchSerialEvent(param, log, link); });
    port.OpenForWindow(simulator.DevicePath(), &window, 0, 0, 2000, 2000);
    port.SetLineFormat(921600, 8, 0, 0);
    port.SetFlowControl(serial::kFlowRtsCts);
    long half = 0;
    for (auto _ : state) {
        const long target = client.completions + 1;
        link.Prepare(CommandKind::SpectrumChunk,
                     Address(kSelectRead, static_cast<std::uint16_t>(2 * 8192 * (half++ & 1))), 32768);
        link.SendRead();
        loop.RunUntil([&] { return client.completions >= target; }, 5000);
        link.SetBusy(false);
    }
    const double bytes = static_cast<double>(state.iterations()) * kReceiveSize;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["x_line_rate"] =
        benchmark::Counter(bytes / kLineBytesPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SustainedHalfSpectrumReads)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The floor: an 11-byte register read and its 279-byte reply over raw descriptors, no serial layer.
void BM_BarePtyRegisterPingPong(benchmark::State& state) {
    test::FakeLoop loop;
    PtySimulator simulator(loop, {});
    simulator.Start();
    const int fd = ::open(simulator.DevicePath().c_str(), O_RDWR | O_NOCTTY);
    const std::uint8_t frame[] = {0x64, 0x00, 0x0B, 0x00, 0x01, 0x80, 0x40, 0x00, 0xFE, 0x00, 0xD3};
    std::uint8_t reply[512];
    for (auto _ : state) {
        [[maybe_unused]] const ssize_t w = ::write(fd, frame, sizeof frame);
        std::size_t got = 0;
        while (got < 279) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 1000);
            const ssize_t n = ::read(fd, reply + got, sizeof reply - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
    }
    ::close(fd);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 290);
}
BENCHMARK(BM_BarePtyRegisterPingPong)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The same register read through the serial layer and the protocol.
void BM_LinkRegisterRead(benchmark::State& state) {
    test::FakeLoop loop;
    OutputLog log(loop, nullptr);
    PtySimulator simulator(loop, {});
    simulator.Start();
    CSerialMFC port;
    CountingClient client;
    LinkTransaction link(port, log, loop, client);
    CallbackSerialWindow window(loop, [&](std::uint32_t param) { DispatchSerialEvent(param, log, link); });
    port.OpenForWindow(simulator.DevicePath(), &window, 0, 0, 2000, 2000);
    for (auto _ : state) {
        const long target = client.completions + 1;
        link.Prepare(CommandKind::RegisterRead, Address(kSelectRead, 0x8001), 254);
        link.SendRead();
        loop.RunUntil([&] { return client.completions >= target; }, 5000);
        link.SetBusy(false);
    }
}
BENCHMARK(BM_LinkRegisterRead)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvane

BENCHMARK_MAIN();
