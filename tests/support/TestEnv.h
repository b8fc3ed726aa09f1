#pragma once

#include "app/Services.h"
#include "app/WindowRegistry.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Printer.h"
#include "platform/Shell.h"
#include "storage/Module1.h"

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
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class QAbstractItemModel;

namespace hm52 {
class Program;
class QsoForm;
} // namespace hm52

namespace hm52::test {

using namespace Qt::Literals::StringLiterals;

// A place of the small gazetteer that tests use by default.
struct PlaceRow {
    QString place;
    QString prov;
    QString WWLocator; // six characters
};

// The small, hand-made gazetteer: a few sub-squares with known places, names in several
// sub-squares and provinces, names with quotes and blanks.
const std::vector<PlaceRow>& smallGazetteer();

// Writes a log or a gazetteer file.
void writeEmptyLog(const QString& path);
void writeGazetteer(const QString& path, const std::vector<PlaceRow>& rows);

// One QSO as the tests put it into the log directly.
struct Qso {
    QString call = u"I1ABC"_s;
    QString WWLocator = u"AB"_s;
    QString place = u"ALFA"_s;
    QString prov = u"BD"_s;
    QString mode = u"MIXED"_s;
    QString band = u"HF"_s;
    QString date = u"5/1/04"_s; // as the form writes it
    QString time = u"09:05"_s;
    QString qsl = u"c"_s;
};

// A program folder in a temporary directory with an empty log and a gazetteer, the
// databases open, recording seams and a window registry: everything a window needs.
class TestEnv {
public:
    explicit TestEnv(const std::vector<PlaceRow>& gazetteer = smallGazetteer());
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    QString folder() const { return dir.path(); }

    // Adds a QSO with the next number (highest count + 1) and returns its count.
    int addQso(const Qso& qso);
    // Adds a QSO with a given count.
    void addQsoWithCount(int count, const Qso& qso);
    // Writes the operator record.
    void setOperator(const QString& call = u"IK0XYZ"_s);
    // Number of rows of a "select count(*) as contatore ..." text on the log.
    qint64 count(const QString& where = {});
    // The stored (ISO) text of a field of a QSO, read with SQLite's own functions.
    QString rawField(int count, const QString& field);
    // Every row of the log in number order as stored:
    // "count|call|WWLocator|place|prov|mode|band|date|time|qsl".
    QStringList rawRows();

    QTemporaryDir dir;
    Module1 m;
    RecordingDialogs dialogs;
    RecordingShell shell;
    RecordingPrinters printers;
    RecordingFileDialogs fileDialogs;
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

// The text of the error of type E (DbError, PrintError) that a call throws, or "(nothing
// thrown)".
template <class E, class F> QString thrownBy(F&& call) {
    try {
        call();
    } catch (const E& e) {
        return e.text();
    }
    return u"(nothing thrown)"_s;
}

// A named child of a window, which must be there.
template <class T = QWidget> T* child(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (found == nullptr) {
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    }
    return found;
}
// Clicks a named button of a window.
void click(const QObject* parent, const char* button);
// The texts of a combo box's items, or of a list model's rows.
QStringList itemTexts(const QComboBox* combo);
QStringList itemTexts(const QAbstractItemModel* model);
// The character positions (from 1) of the column bars of a header or a line.
QList<int> bars(const QString& text);
// A QSO window as shown: "sub-square|call|day|month|year|time|place|province|mode|band|QSL"
// (QSL "c", "w" or "-").
QString formText(const QsoForm& w);
// A text box as the operator sees it: its text, then " [selection]" when some is selected,
// then " *" when it has the focus: "AB [AB] *".
QString boxState(const QLineEdit* box);
// How a box looked: "title icon buttons", e.g. "HM52 Critical Ok"; and every box shown.
QString look(const ShownBox& box);
QStringList looks(const RecordingDialogs& dialogs);

} // namespace hm52::test
