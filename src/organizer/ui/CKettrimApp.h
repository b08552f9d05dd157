#pragma once

#include <QApplication>

namespace kettrim {

// The organizer program: shows the organizer dialog modally and ends when it closes.
class CKettrimApp : public QApplication {
    Q_OBJECT

public:
    CKettrimApp(int& argc, char** argv);

    int Run();
};

} // namespace kettrim
