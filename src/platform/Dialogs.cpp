#include "platform/Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace hm52 {

namespace {
QString shownTitle(const QString& title) {
    return title.isEmpty() ? applicationTitle : title;
}
} // namespace

QString answerName(Answer a) {
    switch (a) {
    case Answer::Ok:
        return QStringLiteral("OK");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::No:
        return QStringLiteral("No");
    }
    return {};
}

Answer QtDialogs::message(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                          const QString& title) {
    QMessageBox box(parent);
    box.setWindowTitle(shownTitle(title));
    box.setText(text);
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
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
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
    // Closing a Yes/No box by other means counts as No, an OK/Cancel box as Cancel.
    switch (buttons) {
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
        return Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

QString QtDialogs::input(QWidget* parent, const QString& prompt, const QString& title) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, shownTitle(title), prompt, QLineEdit::Normal, {}, &ok);
    return ok ? text : QString();
}

Answer RecordingDialogs::message(QWidget* /*parent*/, const QString& text, Icon icon,
                                 Buttons buttons, const QString& title) {
    Answer a = Answer::Ok;
    if (buttons != Buttons::Ok) {
        if (answers_.empty()) {
            ++unanswered;
            a = buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        } else {
            a = answers_.front();
            answers_.pop_front();
        }
    }
    shown.push_back({ShownBox::Message, text, shownTitle(title), icon, buttons, answerName(a)});
    return a;
}

QString RecordingDialogs::input(QWidget* /*parent*/, const QString& prompt, const QString& title) {
    QString typed;
    if (inputs_.empty()) {
        ++unanswered;
    } else {
        typed = inputs_.front();
        inputs_.pop_front();
    }
    shown.push_back(
        {ShownBox::Input, prompt, shownTitle(title), Icon::None, Buttons::OkCancel, typed});
    return typed;
}

QStringList RecordingDialogs::texts() const {
    QStringList list;
    for (const ShownBox& box : shown) {
        list << box.text;
    }
    return list;
}

void RecordingDialogs::clear() {
    shown.clear();
    answers_.clear();
    inputs_.clear();
    unanswered = 0;
}

} // namespace hm52
