#include "app/Program.h"

#include "app/ProgramPaths.h"
#include "rig/RigSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstdio>
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
struct Options {
    bool newLog = false;
    hm52::rig::RigOverrides rig;
    QString error;
};

Options options(QCoreApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("HM52"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HM52_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Logbook and award tracker for the DIPLOMA HM52"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption newLog(
        QStringLiteral("new-log"),
        QStringLiteral("When there is no log yet, create a new, empty one without asking."));
    // The rig for this run only: each one given takes the place of the saved one (Utility,
    // Rig...), which stays as it was.
    const QCommandLineOption rigModel(
        QStringLiteral("rig-model"),
        QStringLiteral("The rig's model number in Hamlib's list (rigctl -l lists them; 2 is a "
                       "rigctld), for this run."),
        QStringLiteral("N"));
    const QCommandLineOption rigPort(
        QStringLiteral("rig-port"),
        QStringLiteral("The rig's serial device (/dev/ttyUSB0) or the host:port of a rigctld "
                       "(localhost:4532), for this run."),
        QStringLiteral("PORT"));
    const QCommandLineOption rigSpeed(
        QStringLiteral("rig-speed"),
        QStringLiteral("The rig's serial speed in baud (0: the rig's own), for this run."),
        QStringLiteral("BAUD"));
    parser.addOptions({newLog, rigModel, rigPort, rigSpeed});
    parser.process(app);
    Options given;
    given.newLog = parser.isSet(newLog);
    given.rig = hm52::rig::parseOverrides(parser.value(rigModel), parser.value(rigPort),
                                          parser.value(rigSpeed), &given.error);
    return given;
}

int main(int argc, char** argv) {
    // What only prints needs no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        if (arg == "--version" || arg == "-v" || arg == "--help" || arg == "-h" ||
            arg == "--help-all") {
            QCoreApplication printing(argc, argv);
            options(printing);
            return 0;
        }
    }
    Application app(argc, argv);
    const Options given = options(app);
    if (!given.error.isEmpty()) {
        for (const QString& line : given.error.split(u'\n')) {
            std::fprintf(stderr, "hm52: %s\n", qPrintable(line));
        }
        return 1;
    }
    // Only the main window ends the program; closing any other window never does.
    QApplication::setQuitOnLastWindowClosed(false);
    return hm52::runProgram(
        hm52::ProgramPaths::forExecutable(QCoreApplication::applicationDirPath()), given.newLog,
        given.rig);
}
