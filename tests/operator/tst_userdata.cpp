// The operator data window: the checks in their order with their messages, the single row
// that Submit adds or overwrites, the display of the stored record, upper-casing as typed,
// Clear, Exit and the close box.

#include "operator/frmUserData.h"
#include "support/TestEnv.h"

using namespace hm52;
using namespace hm52::test;

namespace {

// The inputs, the stored fields and the display's labels, in the same order.
const char* const inputs[] = {"txtCall", "txtfName", "txtsName",   "txtAddress",   "txtZipCode",
                              "txtCity", "txtProv",  "txtCountry", "txtWWLocator", "txtEmail"};
const char* const labels[] = {"lblOM",      "lblCall",      "lblfName", "lblsName",
                              "lblAddress", "lblZipCode",   "lblCity",  "lblProv",
                              "lblCountry", "lblWWLocator", "lblemail"};

struct UserDataWindow {
    TestEnv env;
    frmUserData* w = &env.registry->userData();

    QLineEdit* box(const char* name) const { return child<QLineEdit>(w, name); }
    QString label(const char* name) const { return child<QLabel>(w, name)->text(); }
    QComboBox* combo() const { return child<QComboBox>(w, "Combo"); }
    void submit() { click(w, "cmdSubmit"); }

    // A complete, valid record in the inputs.
    void fill(const QString& category = u"OM"_s) {
        combo()->setCurrentText(category);
        const char* const values[] = {
            "IK0XYZ",   "MARIO", "ROSSI",  "VIA ROMA 1", "40400",
            "VALDORIA", "VD",    "ITALIA", "HM52LM",     "MARIO@EXAMPLE.ORG"};
        for (int i = 0; i < 10; ++i) {
            box(inputs[i])->setText(QLatin1String(values[i]));
        }
    }
    // The category and the inputs, or the display's labels, joined by "|".
    QString typed() const {
        QStringList all{combo()->currentText()};
        for (const char* name : inputs) {
            all << box(name)->text();
        }
        return all.join(u'|');
    }
    QString shown() const {
        QStringList all;
        for (const char* name : labels) {
            all << label(name);
        }
        return all.join(u'|');
    }
    // The stored rows, each "count|category|call|...|email".
    QStringList stored() {
        Recordset rs(env.m.logDb,
                     u"select count || '|' || \"OM/YL/SWL\" || '|' || call || '|' || fName || '|' "
                     u"|| sName || '|' || address || '|' || ZIPcode || '|' || city || '|' || prov "
                     u"|| '|' || country || '|' || WWLocator || '|' || email from userData"_s);
        QStringList rows;
        for (; !rs.eof(); rs.moveNext()) {
            rows << rs.textAt(0);
        }
        return rows;
    }
};

const QString record = u"IK0XYZ|MARIO|ROSSI|VIA ROMA 1|40400|VALDORIA|VD|ITALIA|HM52LM|"_s
                       u"MARIO@EXAMPLE.ORG"_s;

} // namespace

class UserDataTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyTableShowsBlanksAndTheFirstSubmitAddsOneRowNumberedOne() {
        UserDataWindow t;
        QCOMPARE(t.w->windowTitle(), u"User Data"_s);
        QCOMPARE(t.combo()->currentText(), u"OM"_s);
        QVERIFY(!t.combo()->isEditable());
        QCOMPARE(child(t.w, "Frame6")->property("title").toString(), u"Courrent User Data:"_s);
        QCOMPARE(t.shown(), u"||||||||||"_s);
        t.fill(u"SWL"_s);
        t.submit();
        QVERIFY(t.env.dialogs.shown.empty());
        QCOMPARE(t.env.m.logDb.scalar(u"select typeof(count) || count from userData"_s).toString(),
                 u"integer1"_s);
        // Every input goes to its own field, every field to its own label; the inputs keep
        // what was typed.
        QCOMPARE(t.stored(), QStringList({u"1|SWL|"_s + record}));
        QCOMPARE(t.shown(), u"SWL|"_s + record);
        QCOMPARE(t.typed(), u"SWL|"_s + record);
    }

    void laterSubmitsOverwriteTheOneRowAndKeepItsNumber() {
        UserDataWindow t;
        t.fill(u"OM"_s);
        t.submit();
        t.env.m.logDb.execute(u"update userData set count = 7"_s);
        t.fill(u"YL"_s);
        t.box("txtCall")->setText(u"IZ5NEW"_s);
        t.box("txtEmail")->clear();
        t.submit();
        // An empty e-mail is stored as one blank.
        const QString changed =
            QString(record).replace(u"IK0XYZ"_s, u"IZ5NEW"_s).section(u'|', 0, -2);
        QCOMPARE(t.stored(), QStringList({u"7|YL|"_s + changed + u"| "_s}));
        QCOMPARE(t.shown(), u"YL|"_s + changed + u"| "_s);
    }

    // Walks through the checks: each empty field and each field one character too long is
    // refused with its own message, in the order of the checks, until the record passes.
    void checksRunInTheirOrderWithTheirMessages() {
        UserDataWindow t;
        t.submit();
        QCOMPARE(t.env.dialogs.texts(), QStringList({"Address field cannot be null"}));
        struct Step {
            const char* box;
            int limit;
            const char* emptyName; // none: may be empty
            const char* name;
        };
        const Step steps[] = {{"txtAddress", 40, "Address", "Address"},
                              {"txtCall", 10, "Call", "Call"},
                              {"txtCity", 20, "City", "City"},
                              {"txtCountry", 20, "Country", "Country"},
                              {"txtfName", 20, "First Name", "First Name"},
                              {"txtsName", 20, "sencod Name", "Second Name"},
                              {"txtZipCode", 10, "Zip Code", "Zip Code"},
                              {"txtProv", 20, "Prov", "Prov"},
                              {"txtWWLocator", 6, "WWLocator", "WWLocator"},
                              {"txtEmail", 50, nullptr, "e-mail"}};
        // Every later field is too long, so a check that ran early would show.
        for (const Step& step : steps) {
            t.box(step.box)->setText(QString(step.limit + 1, u'X'));
        }
        for (const Step& step : steps) {
            QLineEdit* b = t.box(step.box);
            if (step.emptyName != nullptr) {
                b->clear();
                t.env.dialogs.clear();
                t.submit();
                QCOMPARE(t.env.dialogs.texts(),
                         QStringList({QLatin1String(step.emptyName) + u" field cannot be null"_s}));
                QCOMPARE(looks(t.env.dialogs), QStringList({"HM52 Critical Ok"}));
            }
            b->setText(QString(step.limit + 1, u'X'));
            t.env.dialogs.clear();
            t.submit();
            QCOMPARE(
                t.env.dialogs.texts(),
                QStringList({QLatin1String(step.name) +
                             u" field cannot hold more than %1 characters"_s.arg(step.limit)}));
            QCOMPARE(t.stored().size(), 0);
            // Exactly the limit passes this check.
            b->setText(QString(step.limit, u'X'));
        }
        t.env.dialogs.clear();
        t.submit();
        QVERIFY(t.env.dialogs.shown.empty());
        QCOMPARE(t.stored().size(), 1);
        const QString row = t.stored().value(0);
        QCOMPARE(row.section(u'|', 5, 5) + row.section(u'|', 11), QString(90, u'X'));
    }

    void blanksOnlyAndShortLocatorsAreAccepted() {
        UserDataWindow t;
        t.fill();
        t.box("txtAddress")->setText(u"   "_s);
        t.box("txtWWLocator")->setText(u"JNX"_s);
        t.submit();
        QVERIFY(t.env.dialogs.shown.empty());
        QCOMPARE(t.stored(),
                 QStringList({u"1|OM|IK0XYZ|MARIO|ROSSI|   |40400|VALDORIA|VD|ITALIA|JNX|"_s
                              u"MARIO@EXAMPLE.ORG"_s}));
    }

    void aRefusedSubmitShowsTheStoredRecordAndKeepsTheInputs() {
        UserDataWindow t;
        t.fill();
        t.submit();
        // Changed outside the window: the display is read again after a refusal too.
        t.env.m.logDb.execute(u"update userData set city = 'ALTROVE'"_s);
        t.box("txtCall")->setText(u"IK0XYZTOOLONG"_s);
        t.box("txtCity")->setText(u"NUOVA"_s);
        t.submit();
        QCOMPARE(t.env.dialogs.texts(),
                 QStringList({"Call field cannot hold more than 10 characters"}));
        const QString kept = QString(record).replace(u"VALDORIA"_s, u"ALTROVE"_s);
        QCOMPARE(t.stored(), QStringList({u"1|OM|"_s + kept}));
        QCOMPARE(t.shown(), u"OM|"_s + kept);
        QCOMPARE(t.box("txtCall")->text() + t.box("txtCity")->text(), u"IK0XYZTOOLONGNUOVA"_s);
    }

    void typingUpperCasesAndKeepsTheCaret() {
        UserDataWindow t;
        showActive(t.w);
        for (const char* name : inputs) {
            QLineEdit* b = t.box(name);
            b->setFocus();
            QTest::keyClicks(b, u"ab"_s);
            QCOMPARE(b->text(), u"AB"_s);
            QCOMPARE(b->cursorPosition(), 2);
        }
        QLineEdit* email = t.box("txtEmail");
        QTest::keyClicks(email, u"d"_s);
        email->setCursorPosition(2);
        QTest::keyClicks(email, u"c"_s);
        QCOMPARE(email->text(), u"ABCD"_s);
        QCOMPARE(email->cursorPosition(), 3);
        QLineEdit* city = t.box("txtCity");
        city->clear();
        city->setFocus();
        QTest::keyClicks(city, u"for"_s);
        QTest::sendKeyEvent(QTest::Click, city, Qt::Key_unknown, u"ì"_s, Qt::NoModifier);
        QCOMPARE(city->text(), u"FORÌ"_s);
        QCOMPARE(city->cursorPosition(), 4);
        // The selector takes no typing.
        QCOMPARE(itemTexts(t.combo()), QStringList({"OM", "YL", "SWL"}));
    }

    void aLongRecordShowsWholeAndTheInputsKeepTheirWidth() {
        UserDataWindow t;
        showActive(t.w);
        const int inputWidth = t.box("txtAddress")->width();
        t.fill();
        t.box("txtAddress")->setText(QString(40, u'W'));
        t.box("txtEmail")->setText(QString(50, u'W'));
        t.box("txtCountry")->setText(QString(20, u'W'));
        t.submit();
        QCOMPARE(t.label("lblemail"), QString(50, u'W'));
        auto wholeShown = [&t]() {
            for (QLabel* label : child(t.w, "Frame6")->findChildren<QLabel*>()) {
                if (label->width() < label->sizeHint().width()) {
                    return false;
                }
            }
            return true;
        };
        QTRY_VERIFY(wholeShown());
        QCOMPARE(t.box("txtAddress")->width(), inputWidth);
    }

    void clearResetsTheInputsButNotTheDisplay() {
        UserDataWindow t;
        t.fill(u"YL"_s);
        t.submit();
        click(t.w, "cmdClear");
        QCOMPARE(t.typed(), u"OM||||||||||"_s);
        QCOMPARE(t.shown(), u"YL|"_s + record);
        QCOMPARE(t.stored().size(), 1);
    }

    void exitHidesWithTheInputsAndTheCloseBoxLoadsAfresh() {
        UserDataWindow t;
        showActive(t.w);
        t.fill(u"SWL"_s);
        click(t.w, "Command1");
        QVERIFY(!t.w->isVisible());
        QCOMPARE(&t.env.registry->userData(), t.w);
        QCOMPARE(t.typed(), u"SWL|"_s + record);

        t.env.setOperator(u"IW9ZZZ"_s);
        t.w->show();
        t.w->close();
        QVERIFY(t.env.registry->loaded(Window::UserData) == nullptr);
        t.w = &t.env.registry->userData();
        QCOMPARE(t.typed(), u"OM||||||||||"_s);
        QCOMPARE(t.label("lblCall"), u"IW9ZZZ"_s);
    }
};

QTEST_MAIN(UserDataTest)
#include "tst_userdata.moc"
