#pragma once

#include "app/ProgramPaths.h"
#include "app/WindowRegistry.h"
#include "rig/RigControl.h"
#include "rig/RigSettings.h"
#include "storage/Module1.h"
#include "ui/Services.h"

#include <QDateTime>

#include <atomic>
#include <functional>
#include <memory>

class QLockFile;

namespace hm52 {

class principale;

// One run of the program: its databases, services, windows and main window.
class Program {
public:
    Program(const QString& programFolder, Dialogs& dialogs, Shell& shell, PrinterFactory printers,
            std::function<void()> endProgram);
    // An installed program with no log yet asks whether to create one (`newLog`: creates it
    // without asking).
    Program(const ProgramPaths& paths, Dialogs& dialogs, Shell& shell, PrinterFactory printers,
            std::function<void()> endProgram, bool newLog = false);
    ~Program();

    // Takes the log for this run (a log that another HM52 has open is refused), loads the
    // main window, which opens the two databases, says once when the log cannot be written,
    // and starts the log's check and the day's backup behind the window. On failure shows
    // why in a box and returns false; nothing is shown and no file is changed.
    bool start();

    // Waits until the check and the day's backup that start() began are over, and delivers
    // what they have to tell.
    void finishStartWork();

    // Where the rig's settings are kept (empty: nowhere, this run only) and what the command
    // line gave for this run. Before start(), which connects the rig when they say so.
    void setRig(const QString& settingsPath, const rig::RigOverrides& session);
    rig::RigControl& rig() { return rig_; }
    rig::RigSettingsStore& rigSettings() { return rigSettings_; }

    principale& mainWindow() { return *main_; }
    WindowRegistry& registry() { return registry_; }
    Services& services() { return services_; }
    Module1& module() { return m_; }

private:
    // Shows a box on the main window, later, from whichever thread asks.
    void tellLater(const QString& text, Icon icon);

    // Connects the rig when the settings say so.
    void startRig();

    // At an installed program's first start: the new, empty log, when the operator wants it.
    bool createFirstLog(const QString& logPath);

    ProgramPaths paths_;
    bool newLog_ = false;
    Module1 m_;
    // Before the windows, which use them, and after them at the end.
    rig::RigSettingsStore rigSettings_;
    rig::RigControl rig_;
    Services services_;
    WindowRegistry registry_;
    std::unique_ptr<principale> main_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QObject> mainThread_;
};

// The day's backup, made at most once a day from the log at `logPath` through a connection of
// its own (so it can run on any thread), while the program goes on; then the rotation, and a
// few copies' bytes compared in turn with those checked. Returns what the operator is to be
// told: why it failed, or which files of the backup folder are not good copies (a few dozen
// named); empty when there is nothing to tell.
QString dailyBackup(const QString& logPath, const QDateTime& now = QDateTime::currentDateTime(),
                    const std::atomic_bool* cancel = nullptr);

// The whole program: start, show the main window, run the event loop. Returns the exit
// status (non-zero when the log could not be opened or is open in another HM52).
int runProgram(const ProgramPaths& paths, bool newLog, const rig::RigOverrides& rigSession = {});

} // namespace hm52
