#include "simulator/SimulatorCommandLine.h"

#include <iostream>

int main(int argc, char** argv) {
    return orvane::SimulatorCommandLine::Main("orvane-sim", std::vector<std::string>(argv + 1, argv + argc),
                                              std::cout, std::cerr);
}
