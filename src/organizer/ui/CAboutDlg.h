#pragma once

#include <QDialog>

namespace kettrim {

// "About Kettrim": the program's name and version, and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace kettrim
