#include "platform/FileDialogs.h"

#include <QFileDialog>

namespace hm52 {

QString QtFileDialogs::openPath(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, {}, filter);
}

QString QtFileDialogs::savePath(QWidget* parent, const QString& caption, const QString& suggested,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

FileDialogs& fileDialogsOr(FileDialogs* given) {
    // Stateless: one instance serves every run that brought no seam of its own.
    static QtFileDialogs real;
    return given != nullptr ? *given : real;
}

} // namespace hm52
