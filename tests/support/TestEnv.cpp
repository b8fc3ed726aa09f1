#include "support/TestEnv.h"

#include "app/Program.h"
#include "qso/QsoForm.h"

#include <QAbstractButton>
#include <QWidget>

namespace hm52::test {

TestEnv::TestEnv(const std::vector<PlaceRow>& gazetteer)
    : LogEnv(gazetteer), rigSettings(dir.filePath(u"rig.conf"_s)) {
    services = std::make_unique<Services>(Services{m,
                                                   dialogs,
                                                   shell,
                                                   printers.factory(),
                                                   dir.path(),
                                                   &fileDialogs,
                                                   {},
                                                   printers.documents(),
                                                   &rig,
                                                   &rigSettings});
    registry = std::make_unique<WindowRegistry>(*services);
}

ProgramRun::ProgramRun(const QString& folder)
    : program(std::make_unique<Program>(folder, dialogs, shell, printers.factory(),
                                        [this]() { ++ended; })) {}

ProgramRun::~ProgramRun() = default;

void showActive(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("window did not become active");
    }
}

void typeAtFocus(const QString& text) {
    for (const QChar c : text) {
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
}

QString texts(const QObject* parent, const char* names) {
    QStringList shown;
    for (const QByteArray& name : QByteArray(names).split(' ')) {
        const QWidget* w = child(parent, name.constData());
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            shown << label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            shown << button->text();
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(w)) {
            shown << frame->title();
        } else if (const auto* box = qobject_cast<const QLineEdit*>(w)) {
            shown << box->text();
        } else if (const auto* list = qobject_cast<const QComboBox*>(w)) {
            shown << list->currentText();
        } else {
            qFatal("%s shows no text", name.constData());
        }
    }
    return shown.join(u'|');
}

void click(const QObject* parent, const char* button) {
    child<QAbstractButton>(parent, button)->click();
}

QString formText(const QsoForm& w) {
    return texts(&w, "txtWWLocator txtCall txtDate(0) txtDate(1) txtDate(2) txtTime comboPlace "
                     "comboProv comboMode comboBand") +
           (w.optQSLConf->isChecked()     ? u"|c"_s
            : w.optQSLworked->isChecked() ? u"|w"_s
                                          : u"|-"_s);
}

QString boxState(const QLineEdit* box) {
    return box->text() +
           (box->hasSelectedText() ? u" ["_s + box->selectedText() + u']' : QString()) +
           (QApplication::focusWidget() == box ? u" *"_s : QString());
}

QStringList looks(const RecordingDialogs& dialogs) {
    static const char* const icons[] = {"None", "Critical", "Exclamation", "Information",
                                        "Question"};
    static const char* const buttons[] = {"Ok", "OkCancel", "YesNo"};
    QStringList all;
    for (const ShownBox& box : dialogs.shown) {
        all << box.title + u' ' + QLatin1String(icons[static_cast<int>(box.icon)]) + u' ' +
                   QLatin1String(buttons[static_cast<int>(box.buttons)]);
    }
    return all;
}

} // namespace hm52::test
