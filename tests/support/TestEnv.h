#pragma once

#include "app/Services.h"
#include "app/WindowRegistry.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Printer.h"
#include "platform/Shell.h"
#include "storage/Module1.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QWidget;

namespace hm52::test {

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
    QString call = QStringLiteral("I1ABC");
    QString WWLocator = QStringLiteral("AB");
    QString place = QStringLiteral("ALFA");
    QString prov = QStringLiteral("BD");
    QString mode = QStringLiteral("MIXED");
    QString band = QStringLiteral("HF");
    QString date = QStringLiteral("5/1/04"); // as the form writes it
    QString time = QStringLiteral("09:05");
    QString qsl = QStringLiteral("c");
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
    void setOperator(const QString& call = QStringLiteral("IK0XYZ"));
    // Number of rows of a "select count(*) as contatore ..." text on the log.
    qint64 count(const QString& where = {});
    // The stored (ISO) text of a field of a QSO, read with SQLite's own functions.
    QString rawField(int count, const QString& field);

    QTemporaryDir dir;
    Module1 m;
    RecordingDialogs dialogs;
    RecordingShell shell;
    RecordingPrinters printers;
    RecordingFileDialogs fileDialogs;
    std::unique_ptr<Services> services;
    std::unique_ptr<WindowRegistry> registry;
};

// Shows a window and waits until it is active, so that focus behaves as on a desktop.
void showActive(QWidget* window);

} // namespace hm52::test
