#pragma once

#include <QString>

class QWidget;

namespace hm52 {

// Asking the operator for a file to open or a path to save to. The windows ask through this
// seam, so tests can answer and read what was asked. An empty path means cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual QString openPath(QWidget* parent, const QString& caption, const QString& filter) = 0;
    virtual QString savePath(QWidget* parent, const QString& caption, const QString& suggested,
                             const QString& filter) = 0;
};

// The real dialogs: QFileDialog.
class QtFileDialogs final : public FileDialogs {
public:
    QString openPath(QWidget* parent, const QString& caption, const QString& filter) override;
    QString savePath(QWidget* parent, const QString& caption, const QString& suggested,
                     const QString& filter) override;
};

// The seam a program run uses: the one in its services, or the real dialogs when none was
// given.
FileDialogs& fileDialogsOr(FileDialogs* given);

} // namespace hm52
