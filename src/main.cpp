#include "app/Program.h"

#include <QApplication>
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

int main(int argc, char** argv) {
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HM52"));
    // Only the main window ends the program; closing any other window never does.
    QApplication::setQuitOnLastWindowClosed(false);
    return hm52::runProgram(QCoreApplication::applicationDirPath());
}
