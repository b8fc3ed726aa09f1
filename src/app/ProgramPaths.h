#pragma once

#include <QString>

namespace hm52 {

// Where the program's files live.
//
// Portable: when the gazetteer places.mdb lies beside the executable (a build folder, or a
// folder the operator copied), everything is there: the log data.mdb, its Backup/ folder,
// the gazetteer and Help/.
// Installed: otherwise the gazetteer and the help documents are read from the installed
// data folder, <prefix>/share/hm52 found from the executable's own folder (so any prefix
// works), and the log lives in the user's data folder (~/.local/share/HM52 on Debian) with
// Backup/ beside it.
struct ProgramPaths {
    QString logFolder;  // data.mdb and Backup/
    QString dataFolder; // places.mdb and Help/
    bool installed = false;

    QString logPath() const;
    static ProgramPaths portable(const QString& folder);
    static ProgramPaths forExecutable(const QString& executableFolder);
};

} // namespace hm52
