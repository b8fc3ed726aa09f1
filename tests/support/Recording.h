#pragma once

#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Printer.h"
#include "platform/Shell.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// The recording seams: stand-ins for the boxes, file dialogs, shell and printer that answer
// from a script and keep everything they were shown, so tests can read it back.
namespace hm52 {

// A box as it was shown.
struct ShownBox {
    enum Kind { Message, Input } kind = Message;
    QString text;  // message text or input prompt
    QString title; // the title as shown ("HM52" when the caller gave none)
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Keys keys;      // the answers of Enter and Esc
    QString answer; // the button pressed ("OK", "Cancel", "Yes", "No") or the text typed
};

// Answers from a script, keeps every box in order. A question or input box with no scripted
// answer left is answered No / Cancel / empty and counted in `unanswered`.
class RecordingDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                   const QString& title, std::optional<Keys> keys) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title) override;

    // Queue answers: buttons for questions, texts for input boxes (an empty text cancels).
    void answer(Answer a) { answers_.push_back(a); }
    void answer(std::initializer_list<Answer> all) { answers_.insert(answers_.end(), all); }
    void type(const QString& text) { inputs_.push_back(text); }
    void type(const QStringList& all) { inputs_.insert(inputs_.end(), all.begin(), all.end()); }

    std::vector<ShownBox> shown;
    int unanswered = 0;

    // The texts of the boxes shown, in order.
    QStringList texts() const;
    void clear();

private:
    std::deque<Answer> answers_;
    std::deque<QString> inputs_;
};

// Answers from a script (an unanswered question is cancelled and counted) and
// keeps every question in order.
class RecordingFileDialogs final : public FileDialogs {
public:
    struct Asked {
        bool save = false;
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
    std::deque<QString> answers_;
};

// Keeps every path or address it was asked to open and gives back `result` (opened, unless a
// test makes it fail).
class RecordingShell final : public Shell {
public:
    Opening open(const QString& pathOrAddress) override {
        opened << pathOrAddress;
        return result;
    }
    QStringList opened;
    Opening result = Opening::Opened;
};

// A finished or unfinished job of the recording printer.
struct RecordedJob {
    // Every operation in order: "name Courier New", "size 8", "bold on", "print" (one text),
    // "print3" (three texts on one line), "end".
    QStringList ops;
    QStringList lines; // the printed lines, a line of three texts joined
    bool ended = false;
    // Where it went: "printer", "preview <title>" or "pdf <path>".
    QString target = QStringLiteral("printer");
};

// Keeps every job and every operation; can be told to fail.
class RecordingPrinters {
public:
    PrinterFactory factory();
    // Jobs for previews and PDF files, kept with the others.
    DocumentFactory documents();
    std::deque<RecordedJob> jobs;
    // When set, every job's endDoc() throws PrintError with this reason.
    QString failWith;
};

} // namespace hm52
