#pragma once

#include "simulator/PtySimulator.h"
#include "support/FakeLoop.h"

#include <gtest/gtest.h>

#include <memory>

namespace orvane::test {

// A simulated instrument on a real pseudo-terminal, on the test's fake clock.
class SimulatedLine {
public:
    explicit SimulatedLine(const Clock& clock, const SimulatorOptions& options = {});

    const std::string& Path() const { return simulator_.DevicePath(); }
    PtySimulator& Simulator() { return simulator_; }

private:
    PtySimulator simulator_;
};

// Bytes as the tests write them: "64 00 0B 00".
std::vector<std::uint8_t> Bytes(const std::string& hex);
std::string Hex(const std::vector<std::uint8_t>& bytes);

} // namespace orvane::test

namespace orvane::test {

// A bare pseudo-terminal: the test holds the far side and can write to it, read from it or close it.
class RawPty {
public:
    RawPty();
    ~RawPty();

    const std::string& Path() const { return path_; }
    void Write(const std::vector<std::uint8_t>& bytes);
    // Reads what the near side sent, waiting up to realTimeoutMs for count bytes.
    std::vector<std::uint8_t> Read(std::size_t count, int realTimeoutMs = 2000);
    void CloseFarSide();

private:
    int master_ = -1;
    std::string path_;
};

} // namespace orvane::test
