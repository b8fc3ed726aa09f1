#include "app/Program.h"

#include "app/ProgramPaths.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <exception>

namespace {

// Every window handler reports engine and printer failures itself. Should anything else
// escape a handler, say so and keep running rather than lose the operator's open work.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::critical(nullptr, QStringLiteral("HM52"), QString::fromUtf8(e.what()));
        }
        return false;
    }
};

} // namespace

// The program's options; --help and --version print and end the program here.
bool newLogAsked(QCoreApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("HM52"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HM52_VERSION));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Logbook and award tracker for the DIPLOMA HM52"));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption newLog(
        QStringLiteral("new-log"),
        QStringLiteral("When there is no log yet, create a new, empty one without asking."));
    options.addOption(newLog);
    options.process(app);
    return options.isSet(newLog);
}

int main(int argc, char** argv) {
    // What only prints needs no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        if (arg == "--version" || arg == "-v" || arg == "--help" || arg == "-h" ||
            arg == "--help-all") {
            QCoreApplication printing(argc, argv);
            newLogAsked(printing);
            return 0;
        }
    }
    Application app(argc, argv);
    const bool newLog = newLogAsked(app);
    // Only the main window ends the program; closing any other window never does.
    QApplication::setQuitOnLastWindowClosed(false);
    return hm52::runProgram(
        hm52::ProgramPaths::forExecutable(QCoreApplication::applicationDirPath()), newLog);
}
