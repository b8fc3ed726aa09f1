// The operator data window: the checks in their order with their messages, the single row
// that Submit adds or overwrites, the display of the stored record, upper-casing as typed,
// Clear, Exit and the close box.

#include "operator/frmUserData.h"
#include "support/TestEnv.h"

using namespace hm52;
using namespace hm52::test;

namespace {

// The inputs in the order of the stored record's fields, and the labels that show them.
const char* const inputs = "txtCall txtfName txtsName txtAddress txtZipCode txtCity txtProv "
                           "txtCountry txtWWLocator txtEmail";
const char* const labels = "lblOM lblCall lblfName lblsName lblAddress lblZipCode lblCity lblProv "
                           "lblCountry lblWWLocator lblemail";
const QString record = u"IK0XYZ|MARIO|ROSSI|VIA ROMA 1|40400|VALDORIA|VD|ITALIA|HM52LM|"_s
                       u"MARIO@EXAMPLE.ORG"_s;

struct UserDataWindow {
    TestEnv env;
    frmUserData* w = &env.registry->userData();

    QLineEdit* box(const char* name) const { return child<QLineEdit>(w, name); }
    QComboBox* combo() const { return child<QComboBox>(w, "Combo"); }
    void submit() { click(w, "cmdSubmit"); }

    // A complete, valid record in the inputs.
    void fill(const QString& category = u"OM"_s) {
        combo()->setCurrentText(category);
        const QStringList values = record.split(u'|');
        const QList<QByteArray> names = QByteArray(inputs).split(' ');
        for (int i = 0; i < values.size(); ++i) {
            box(names[i].constData())->setText(values[i]);
        }
    }
    // The category and the inputs, or the display's labels, joined by "|".
    QString typed() const {
        return texts(w, (u"Combo "_s + QLatin1String(inputs)).toLatin1().constData());
    }
    QString shown() const { return texts(w, labels); }
    // The stored rows, each "count|category|call|...|email".
    QStringList stored() {
        return env.m.logDb
            .scalar(u"select group_concat(count || '|' || \"OM/YL/SWL\" || '|' || call || '|' || "
                    u"fName || '|' || sName || '|' || address || '|' || ZIPcode || '|' || city "
                    u"|| '|' || prov || '|' || country || '|' || WWLocator || '|' || email, "
                    u"char(10)) from userData"_s)
            .toString()
            .split(u'\n', Qt::SkipEmptyParts);
    }
};

} // namespace

class UserDataTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theFirstSubmitAddsRowOneAndLaterOnesOverwriteItEvenAfterARefusal() {
        UserDataWindow t;
        QCOMPARE(t.w->windowTitle(), u"User Data"_s);
        QCOMPARE(texts(t.w, "Combo Frame6"), u"OM|Courrent User Data:"_s);
        QCOMPARE(t.shown(), u"||||||||||"_s);
        t.fill(u"SWL"_s);
        t.submit();
        // Every input goes to its own field, every field to its own label.
        QCOMPARE(t.stored(), QStringList({u"1|SWL|"_s + record}));
        QCOMPARE(t.shown(), u"SWL|"_s + record);

        // Changed outside the window: the display is read again after a refusal too.
        t.env.m.logDb.execute(u"update userData set count = 7, city = 'ALTROVE'"_s);
        t.box("txtCall")->setText(u"IK0XYZTOOLONG"_s);
        t.box("txtCity")->setText(u"NUOVA"_s);
        t.submit(); // refused: the call is too long
        const QString kept = QString(record).replace(u"VALDORIA"_s, u"ALTROVE"_s);
        QCOMPARE(t.stored(), QStringList({u"7|SWL|"_s + kept}));
        QCOMPARE(t.shown(), u"SWL|"_s + kept);

        t.fill(u"YL"_s);
        t.box("txtCall")->setText(u"IZ5NEW"_s);
        // Blanks only are a value.
        t.box("txtAddress")->setText(u"   "_s);
        t.box("txtEmail")->clear();
        t.submit();
        // An empty e-mail is stored as one blank.
        const QString changed = u"IZ5NEW|MARIO|ROSSI|   |40400|VALDORIA|VD|ITALIA|HM52LM| "_s;
        QCOMPARE(t.stored(), QStringList({u"7|YL|"_s + changed}));
        QCOMPARE(t.shown(), u"YL|"_s + changed);
        // Clear empties the inputs and leaves the display.
        click(t.w, "cmdClear");
        QCOMPARE(t.typed(), u"OM||||||||||"_s);
        QCOMPARE(t.shown(), u"YL|"_s + changed);
    }

    // Walks through the checks: each empty field and each field one character too long is
    // refused with its own message, in the order of the checks, until the record passes.
    void checksRunInTheirOrderWithTheirMessagesUntilTheLongestRecordPasses() {
        UserDataWindow t;
        // Box, limit, the name in its messages (empty, too long); no name: may be empty.
        const std::tuple<const char*, int, const char*, const char*> checks[] = {
            {"txtAddress", 40, "Address", "Address"},
            {"txtCall", 10, "Call", "Call"},
            {"txtCity", 20, "City", "City"},
            {"txtCountry", 20, "Country", "Country"},
            {"txtfName", 20, "First Name", "First Name"},
            {"txtsName", 20, "sencod Name", "Second Name"},
            {"txtZipCode", 10, "Zip Code", "Zip Code"},
            {"txtProv", 20, "Prov", "Prov"},
            {"txtWWLocator", 6, "WWLocator", "WWLocator"},
            {"txtEmail", 50, nullptr, "e-mail"}};
        const auto refused = [&t](QLineEdit* box, const QString& text) {
            box->setText(text);
            t.env.dialogs.clear();
            t.submit();
            return t.env.dialogs.texts().join(u'|') + u' ' + looks(t.env.dialogs).join(u'|') +
                   u", %1 stored"_s.arg(t.stored().size());
        };
        QCOMPARE(refused(t.box("txtCall"), {}),
                 u"Address field cannot be null HM52 Critical Ok, 0 stored"_s);
        // Every later field is too long, so a check that ran early would show.
        for (const auto& [name, limit, emptyName, longName] : checks) {
            t.box(name)->setText(QString(limit + 1, u'W'));
        }
        for (const auto& [name, limit, emptyName, longName] : checks) {
            if (emptyName != nullptr) {
                QCOMPARE(refused(t.box(name), {}),
                         QLatin1String(emptyName) +
                             u" field cannot be null HM52 Critical Ok, 0 stored"_s);
            }
            QCOMPARE(
                refused(t.box(name), QString(limit + 1, u'W')),
                u"%1 field cannot hold more than %2 characters HM52 Critical Ok, 0 stored"_s.arg(
                    QLatin1String(longName), QString::number(limit)));
            t.box(name)->setText(QString(limit, u'W')); // exactly the limit passes
        }
        t.submit();
        QCOMPARE(t.stored().size(), 1);
    }

    void typingUpperCasesKeepsTheCaretAndExitKeepsTheInputsButTheCloseBoxDoesNot() {
        UserDataWindow t;
        showActive(t.w);
        // Typed in the middle too, and beyond ASCII: the caret stays after the new character.
        // (Every input has the same handler.)
        QLineEdit* b = t.box("txtCity");
        b->setFocus();
        QTest::keyClicks(b, u"ab"_s);
        b->setCursorPosition(1);
        QTest::sendKeyEvent(QTest::Click, b, Qt::Key_unknown, u"\u00ec"_s, Qt::NoModifier);
        QCOMPARE(b->text() + u'|' + QString::number(b->cursorPosition()), u"A\u00ccB|2"_s);

        // Exit hides the window with its inputs; the close box unloads it, and the next one
        // shows the stored record.
        t.fill(u"SWL"_s);
        click(t.w, "Command1");
        QVERIFY(!t.w->isVisible());
        QCOMPARE(t.typed(), u"SWL|"_s + record);

        t.env.setOperator(u"IW9ZZZ"_s);
        t.w->show();
        t.w->close();
        t.w = &t.env.registry->userData();
        QCOMPARE(texts(t.w, "lblCall"), u"IW9ZZZ"_s);
    }
};

QTEST_MAIN(UserDataTest)
#include "tst_userdata.moc"
