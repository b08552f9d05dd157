#include "organizer/ui/CKettrimApp.h"

#include "organizer/ui/CKettrimDlg.h"

namespace kettrim {

CKettrimApp::CKettrimApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Kettrim"));
    setApplicationVersion(QStringLiteral("1.0"));
}

int CKettrimApp::Run() {
    CKettrimDlg dialog;
    dialog.exec();
    return 0;
}

} // namespace kettrim
