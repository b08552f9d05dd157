#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// How the simulated instrument presents itself and which line faults it injects. "Every N" counts replies
// from 1 and 0 switches the fault off; "after N" counts replies sent and -1 switches it off.
struct SimulatorOptions {
    // Identity and condition reported in every status block.
    std::uint16_t serialNumber = 4711;
    std::int16_t firmwareVersion = 205;
    std::uint16_t register15 = 0x1E00; // Kiramo, clock code 0
    std::uint16_t bias = 500;
    std::uint16_t inputD = 1250; // mV, or °C on a Velusk
    std::uint16_t coolingDrive = 165;
    std::int16_t internalTemperature = 31;

    // The spectrum a run accumulates: a photopeak on a falling continuum, over the 16384 channels.
    double peakChannel = 6620.0;
    double peakWidth = 18.0;    // standard deviation in channels
    double peakFraction = 0.35; // share of the events in the peak
    double countRate = 2500.0;  // input counts per second
    double deadTimeUs = 2.0;    // per event, so the live time lags the real time

    // Faults.
    unsigned corruptChecksumEvery = 0; // every Nth reply carries a wrong checksum
    unsigned wrongEchoEvery = 0;       // every Nth reply echoes a wrong address (checksum still right)
    unsigned splitPieces = 0;          // write each reply in this many pieces ...
    unsigned splitDelayMs = 2;         // ... with this pause between them
    unsigned strayAfterReply = 0;      // bytes of garbage sent right after every reply
    unsigned strayEveryMs = 0;         // garbage sent every so often while the line is idle
    int silentAfter = -1;              // answer nothing once this many replies went out
    int unplugAfter = -1;              // close the line once this many replies went out

    // Pace replies at a real line rate (bits per second, 10 bits a byte); 0 sends as fast as the pty goes.
    std::uint32_t lineRate = 0;

    std::string link; // a symlink to create to the device path

    // Keep every answered frame for inspection (tests); off for a simulator that serves for hours.
    bool recordHistory = false;
};

} // namespace orvane
