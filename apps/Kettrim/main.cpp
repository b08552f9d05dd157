#include "organizer/KettrimCommandLine.h"
#include "organizer/ui/CKettrimApp.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // With arguments Kettrim runs headless: no application object, so no display is needed.
    if (argc > 1)
        return kettrim::KettrimCommandLine::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                                std::cerr);
    kettrim::CKettrimApp app(argc, argv);
    return app.Run();
}
