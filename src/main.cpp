#include "app/Program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HM52"));
    // Only the main window ends the program; closing any other window never does.
    QApplication::setQuitOnLastWindowClosed(false);
    return hm52::runProgram(QCoreApplication::applicationDirPath());
}
