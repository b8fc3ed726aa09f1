#pragma once

#include "app/WindowRegistry.h"
#include "rig/RigControl.h"
#include "rig/RigSettings.h"
#include "support/LogFixture.h"
#include "support/Recording.h"
#include "ui/Services.h"

// The widgets and test tools that nearly every test uses.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

namespace hm52 {
class Program;
class QsoForm;
} // namespace hm52

namespace hm52::test {

// The log fixture with everything a window needs besides: recording seams, the services and
// a window registry.
class TestEnv : public LogEnv {
public:
    explicit TestEnv(const std::vector<PlaceRow>& gazetteer = smallGazetteer());

    RecordingDialogs dialogs;
    RecordingShell shell;
    RecordingPrinters printers;
    RecordingFileDialogs fileDialogs;
    // The rig, with its settings in the test's folder (never the user's own).
    rig::RigControl rig;
    rig::RigSettingsStore rigSettings;
    std::unique_ptr<Services> services;
    std::unique_ptr<WindowRegistry> registry;
};

// The whole program started on a folder, with recording seams; `ended` counts the calls
// that end the program.
struct ProgramRun {
    explicit ProgramRun(const QString& folder);
    ~ProgramRun();
    RecordingDialogs dialogs;
    RecordingShell shell;
    RecordingPrinters printers;
    int ended = 0;
    std::unique_ptr<Program> program;
};

// Shows a window and waits until it is active, so that focus behaves as on a desktop.
void showActive(QWidget* window);
// Types each character into whichever control has the focus at that moment.
void typeAtFocus(const QString& text);

// A named child of a window, which must be there.
template <class T = QWidget> T* child(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (found == nullptr) {
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    }
    return found;
}
// What named children show, joined by "|": a label's or a button's text, a frame's caption,
// a text box's text, a list's current entry; texts(w, "Label3 cmdClear") is "HM52|Clear".
QString texts(const QObject* parent, const char* names);
// Clicks a named button of a window.
void click(const QObject* parent, const char* button);
// The texts of a combo box's items, or of a list's rows.
template <class View> QStringList itemTexts(const View* view) {
    QStringList texts;
    for (int i = 0; i < view->model()->rowCount(); ++i) {
        texts << view->model()->index(i, 0).data().toString();
    }
    return texts;
}
// A QSO window as shown: "sub-square|call|day|month|year|time|place|province|mode|band|QSL"
// (QSL "c", "w" or "-").
QString formText(const QsoForm& w);
// A text box as the operator sees it: its text, then " [selection]" when some is selected,
// then " *" when it has the focus: "AB [AB] *".
QString boxState(const QLineEdit* box);
// The tab order of a window from a control on: the names of the controls that take the focus.
inline QStringList tabOrder(QWidget* from, qsizetype count) {
    QStringList order;
    for (QWidget* at = from; order.size() < count; at = at->nextInFocusChain()) {
        if (at->focusPolicy() != Qt::NoFocus && !at->focusProxy()) {
            order << at->objectName();
        }
    }
    return order;
}
// How every box shown looked: "title icon buttons", e.g. "HM52 Critical Ok".
QStringList looks(const RecordingDialogs& dialogs);

} // namespace hm52::test
