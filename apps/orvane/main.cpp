#include "cli/OrvaneCli.h"
#include "shell/SystemClock.h"

#include <iostream>

int main(int argc, char** argv) {
    return orvane::OrvaneMain(std::vector<std::string>(argv + 1, argv + argc),
                              orvane::SystemClock::Instance(), std::cout, std::cerr);
}
