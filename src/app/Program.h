#pragma once

#include "app/WindowRegistry.h"
#include "storage/Module1.h"
#include "ui/Services.h"

#include <QDateTime>

#include <functional>
#include <memory>

namespace hm52 {

class principale;

// One run of the program: its databases, services, windows and main window.
class Program {
public:
    Program(const QString& programFolder, Dialogs& dialogs, Shell& shell, PrinterFactory printers,
            std::function<void()> endProgram);
    ~Program();

    // Loads the main window, which opens the two databases. On failure shows the engine's
    // error text in a box and returns false; nothing is shown and no file is changed.
    bool start();

    principale& mainWindow() { return *main_; }
    WindowRegistry& registry() { return registry_; }
    Services& services() { return services_; }
    Module1& module() { return m_; }

private:
    Module1 m_;
    Services services_;
    WindowRegistry registry_;
    std::unique_ptr<principale> main_;
};

// The start-up backup: made at most once a day. A failure is shown and the program goes on.
void dailyBackup(Services& s, QWidget* parent, const QDateTime& now = QDateTime::currentDateTime());

// The whole program: start, show the main window, run the event loop. Returns the exit
// status (non-zero when the databases could not be opened).
int runProgram(const QString& programFolder);

} // namespace hm52
