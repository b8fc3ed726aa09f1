#include "app/ProgramPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace hm52 {

QString ProgramPaths::logPath() const {
    return QDir(logFolder).filePath(QStringLiteral("data.mdb"));
}

ProgramPaths ProgramPaths::portable(const QString& folder) {
    return {folder, folder, false};
}

ProgramPaths ProgramPaths::forExecutable(const QString& executableFolder) {
    if (QFileInfo::exists(QDir(executableFolder).filePath(QStringLiteral("places.mdb")))) {
        return portable(executableFolder);
    }
    const QString data =
        QDir::cleanPath(QDir(executableFolder).filePath(QStringLiteral("../share/hm52")));
    return {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), data, true};
}

} // namespace hm52
