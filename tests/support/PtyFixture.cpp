#include "support/PtyFixture.h"

#include <cstdio>
#include <sstream>

namespace orvane::test {

namespace {
SimulatorOptions Recording(SimulatorOptions options) {
    options.recordHistory = true;
    return options;
}
} // namespace

SimulatedLine::SimulatedLine(const Clock& clock, const SimulatorOptions& options)
    : simulator_(clock, Recording(options)) {
    const int error = simulator_.Start();
    if (error != 0)
        ADD_FAILURE() << "cannot start the simulated instrument: " << error;
}

std::vector<std::uint8_t> Bytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(hex);
    unsigned value = 0;
    while (in >> std::hex >> value)
        bytes.push_back(static_cast<std::uint8_t>(value));
    return bytes;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char item[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(item, sizeof item, text.empty() ? "%02X" : " %02X", b);
        text += item;
    }
    return text;
}

} // namespace orvane::test

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orvane::test {

RawPty::RawPty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        ADD_FAILURE() << "cannot create a pseudo-terminal";
        return;
    }
    char name[128] = {};
    ptsname_r(master_, name, sizeof name);
    path_ = name;
}

RawPty::~RawPty() {
    CloseFarSide();
}

void RawPty::Write(const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::vector<std::uint8_t> RawPty::Read(std::size_t count, int realTimeoutMs) {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, realTimeoutMs) <= 0)
            break;
        std::uint8_t chunk[4096];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void RawPty::CloseFarSide() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

} // namespace orvane::test
