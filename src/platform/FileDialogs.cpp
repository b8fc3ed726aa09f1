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

QString RecordingFileDialogs::next() {
    if (answers_.empty()) {
        ++unanswered;
        return {};
    }
    QString path = answers_.front();
    answers_.pop_front();
    return path;
}

QString RecordingFileDialogs::openPath(QWidget* /*parent*/, const QString& caption,
                                       const QString& filter) {
    asked.push_back({false, caption, {}, filter});
    return next();
}

QString RecordingFileDialogs::savePath(QWidget* /*parent*/, const QString& caption,
                                       const QString& suggested, const QString& filter) {
    asked.push_back({true, caption, suggested, filter});
    return next();
}

FileDialogs& fileDialogsOr(FileDialogs* given) {
    // Stateless: one instance serves every run that brought no seam of its own.
    static QtFileDialogs real;
    return given != nullptr ? *given : real;
}

} // namespace hm52
