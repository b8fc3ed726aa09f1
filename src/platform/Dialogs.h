#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace hm52 {

// The application's title: what a message or input box without a title of its own shows.
inline const QString applicationTitle = QStringLiteral("HM52");

enum class Icon { None, Critical, Exclamation, Information, Question };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// Which button Enter presses (the default button) and which one Esc (or the close box) gives.
struct Keys {
    Answer enter = Answer::Ok;
    Answer escape = Answer::Ok;
    friend bool operator==(const Keys&, const Keys&) = default;
};
// The keys of a box that does not say: the first button on Enter (OK, Yes), the other on Esc
// (Cancel, No).
Keys usualKeys(Buttons buttons);
// The keys of a question whose first answer deletes, replaces or converts something: the safe
// answer (Cancel, No) on Enter and on Esc, so that a stray key changes nothing.
Keys safeKeys(Buttons buttons);

// Message and input boxes: the windows ask through this seam, so tests can answer them and
// read every box that was shown.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the button pressed. An empty title shows
    // the application's title; no keys: the usual ones of the buttons.
    virtual Answer message(QWidget* parent, const QString& text, Icon icon = Icon::None,
                           Buttons buttons = Buttons::Ok, const QString& title = {},
                           std::optional<Keys> keys = std::nullopt) = 0;
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
    // A Yes/No question whose Yes deletes, replaces or converts something: No on Enter and Esc.
    bool askBeforeChange(QWidget* parent, const QString& text, Icon icon = Icon::None,
                         const QString& title = {}) {
        return message(parent, text, icon, Buttons::YesNo, title, safeKeys(Buttons::YesNo)) ==
               Answer::Yes;
    }
};

// The real boxes: QMessageBox and QInputDialog.
class QtDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                   const QString& title, std::optional<Keys> keys) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title) override;
};

// The title a box shows: its own, or the application's title when it has none.
QString titleShown(const QString& title);

} // namespace hm52
