#pragma once

#include <QString>

#include <deque>
#include <vector>

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

// For tests: answers from a script (an unanswered question is cancelled and counted) and
// keeps every question in order.
class RecordingFileDialogs final : public FileDialogs {
public:
    struct Asked {
        bool save = false;
        QString caption;
        QString suggested;
        QString filter;
    };
    QString openPath(QWidget* parent, const QString& caption, const QString& filter) override;
    QString savePath(QWidget* parent, const QString& caption, const QString& suggested,
                     const QString& filter) override;

    void answer(const QString& path) { answers_.push_back(path); }

    std::vector<Asked> asked;
    int unanswered = 0;

private:
    QString next();
    std::deque<QString> answers_;
};

// The seam a program run uses: the one in its services, or the real dialogs when none was
// given.
FileDialogs& fileDialogsOr(FileDialogs* given);

} // namespace hm52
