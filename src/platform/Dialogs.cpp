#include "platform/Dialogs.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

namespace hm52 {

namespace {

// The text a box shows on its screen: whole, or as many of its lines as leave the box
// (title, icon, buttons and margins, some 200 pixels) within the screen's height, then "...".
// The callers list at most a few dozen items; this keeps any other text on the screen too.
QString fittingText(const QString& text, const QMessageBox& box, const QWidget* parent) {
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return text;
    }
    const QFontMetrics metrics(box.font());
    const int room = (screen->availableGeometry().height() - 200) / metrics.lineSpacing();
    // A box wraps its text at some 400 to 500 pixels: counted at 400, a line is never longer.
    constexpr int wrapAt = 400;
    const QStringList lines = text.split(u'\n');
    int used = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        used += 1 + metrics.horizontalAdvance(lines[i]) / wrapAt;
        if (used > room) {
            return QStringList(lines.mid(0, std::max<qsizetype>(i - 1, 0))).join(u'\n') +
                   QStringLiteral("\n...");
        }
    }
    return text;
}

} // namespace

QString titleShown(const QString& title) {
    return title.isEmpty() ? applicationTitle : title;
}

Keys usualKeys(Buttons buttons) {
    switch (buttons) {
    case Buttons::OkCancel:
        return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo:
        return {Answer::Yes, Answer::No};
    case Buttons::Ok:
        break;
    }
    return {Answer::Ok, Answer::Ok};
}

Keys safeKeys(Buttons buttons) {
    const Answer safe = usualKeys(buttons).escape;
    return {safe, safe};
}

namespace {

QMessageBox::StandardButton standardButton(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

Answer QtDialogs::message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                          const QString& title, std::optional<Keys> keys) {
    QMessageBox box(parent);
    box.setWindowTitle(titleShown(title));
    box.setText(fittingText(text, box, parent));
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    const Keys used = keys.value_or(usualKeys(buttons));
    box.setDefaultButton(standardButton(used.enter));
    box.setEscapeButton(standardButton(used.escape));
    const int pressed = box.exec();
    switch (pressed) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        break;
    }
    // Closed by other means: the answer of Esc.
    return used.escape;
}

QString QtDialogs::input(QWidget* parent, const QString& prompt, const QString& title) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, titleShown(title), prompt, QLineEdit::Normal, {}, &ok);
    return ok ? text : QString();
}

} // namespace hm52
