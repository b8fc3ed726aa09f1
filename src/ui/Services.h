#pragma once

#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Printer.h"
#include "platform/Shell.h"
#include "storage/Module1.h"

#include <QString>

namespace hm52 {

namespace rig {
class RigControl;
class RigSettingsStore;
} // namespace rig

// What every window reaches beyond its own controls: the databases, the boxes, the shell,
// the printer and the program's folder. One per run; tests build theirs with the
// recording seams.
struct Services {
    Module1& m;
    Dialogs& dialogs;
    Shell& shell;
    PrinterFactory printers;
    QString programFolder;
    // Open and save dialogs; the real ones when none is given.
    FileDialogs* files = nullptr;
    // Where the gazetteer and Help/ are read from; the program's folder when empty.
    QString dataFolder;
    // Jobs shown in a preview or written to a PDF file; the real ones when none is given.
    DocumentFactory documents = {};

    // The station's rig and where its settings live; the Rig window needs both.
    rig::RigControl* rig = nullptr;
    rig::RigSettingsStore* rigSettings = nullptr;

    QString dataDir() const { return dataFolder.isEmpty() ? programFolder : dataFolder; }
};

} // namespace hm52
