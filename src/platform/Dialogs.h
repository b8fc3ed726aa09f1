#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

class QWidget;

namespace hm52 {

// The application's title: what a message or input box without a title of its own shows.
inline const QString applicationTitle = QStringLiteral("HM52");

enum class Icon { None, Critical, Exclamation, Information, Question };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// Message and input boxes: the windows ask through this seam, so tests can answer them and
// read every box that was shown.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the button pressed. An empty title shows
    // the application's title.
    virtual Answer message(QWidget* parent, const QString& text, Icon icon = Icon::None,
                           Buttons buttons = Buttons::Ok, const QString& title = {}) = 0;
    // Shows a modal input box with only a prompt; a cancelled box gives empty text.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title = {}) = 0;

    // Shorthands.
    void tell(QWidget* parent, const QString& text, Icon icon, const QString& title = {}) {
        message(parent, text, icon, Buttons::Ok, title);
    }
    bool askYesNo(QWidget* parent, const QString& text, Icon icon = Icon::None,
                  const QString& title = {}) {
        return message(parent, text, icon, Buttons::YesNo, title) == Answer::Yes;
    }
};

// The real boxes: QMessageBox and QInputDialog.
class QtDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                   const QString& title) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title) override;
};

// A box as it was shown.
struct ShownBox {
    enum Kind { Message, Input } kind = Message;
    QString text;  // message text or input prompt
    QString title; // the title as shown ("HM52" when the caller gave none)
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    QString answer; // the button pressed ("OK", "Cancel", "Yes", "No") or the text typed
};

// For tests: answers from a script, keeps every box in order. A question or input box with
// no scripted answer left is answered No / Cancel / empty and counted in `unanswered`.
class RecordingDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                   const QString& title) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title) override;

    // Queue answers: buttons for questions, texts for input boxes (std::nullopt-like cancel
    // is an empty text).
    void answer(Answer a) { answers_.push_back(a); }
    void type(const QString& text) { inputs_.push_back(text); }

    std::vector<ShownBox> shown;
    int unanswered = 0;

    // The texts of the boxes shown, in order.
    QStringList texts() const;
    void clear();

private:
    std::deque<Answer> answers_;
    std::deque<QString> inputs_;
};

QString answerName(Answer a);

} // namespace hm52
