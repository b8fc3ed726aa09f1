#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace hm52 {

QString QtFileDialogs::openPath(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, {}, filter);
}

QString QtFileDialogs::savePath(QWidget* parent, const QString& caption, const QString& suggested,
                                const QString& filter) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an extension gets the filter's first one ("form" saves as
    // "form.pdf"), and the dialog asks before that file is replaced.
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = firstPattern.match(filter);
    if (match.hasMatch()) {
        dialog.setDefaultSuffix(match.captured(1));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

FileDialogs& fileDialogsOr(FileDialogs* given) {
    // Stateless: one instance serves every run that brought no seam of its own.
    static QtFileDialogs real;
    return given != nullptr ? *given : real;
}

} // namespace hm52
