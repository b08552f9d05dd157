// The view tests run real widgets under the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // Numbers in files and panes are written and read with the C conventions, whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
