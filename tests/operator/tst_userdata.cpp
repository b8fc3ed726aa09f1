// The operator data window: the checks in their order with their messages, the single row
// that Submit adds or overwrites, the display of the stored record, upper-casing as typed,
// Clear, Exit and the close box.

#include "operator/frmUserData.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <tuple>

using namespace hm52;
using namespace hm52::test;

namespace {

struct UserDataWindow {
    TestEnv env;
    frmUserData* w = nullptr;
    UserDataWindow() { w = &env.registry->userData(); }

    QLineEdit* box(const char* name) const {
        auto* b = w->findChild<QLineEdit*>(QLatin1String(name));
        if (b == nullptr) {
            qFatal("no text box %s", name);
        }
        return b;
    }
    QString label(const char* name) const {
        return w->findChild<QLabel*>(QLatin1String(name))->text();
    }
    QComboBox* combo() const { return w->findChild<QComboBox*>(QStringLiteral("Combo")); }
    void click(const char* name) { w->findChild<QPushButton*>(QLatin1String(name))->click(); }

    // A complete, valid record in the inputs.
    void fill(const QString& category = QStringLiteral("OM")) {
        combo()->setCurrentText(category);
        box("txtCall")->setText(QStringLiteral("IK0XYZ"));
        box("txtfName")->setText(QStringLiteral("MARIO"));
        box("txtsName")->setText(QStringLiteral("ROSSI"));
        box("txtAddress")->setText(QStringLiteral("VIA ROMA 1"));
        box("txtZipCode")->setText(QStringLiteral("40400"));
        box("txtCity")->setText(QStringLiteral("VALDORIA"));
        box("txtProv")->setText(QStringLiteral("VD"));
        box("txtCountry")->setText(QStringLiteral("ITALIA"));
        box("txtWWLocator")->setText(QStringLiteral("HM52LM"));
        box("txtEmail")->setText(QStringLiteral("MARIO@EXAMPLE.ORG"));
    }
    qint64 rows() {
        return env.m.logDb.scalar(QStringLiteral("select count(*) from userData")).toLongLong();
    }
    QString stored(const QString& field) {
        return env.m.logDb
            .scalar(QStringLiteral("select %1 from userData").arg(quoteIdentifier(field)))
            .toString();
    }
};

} // namespace

class UserDataTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyTableShowsBlanksAndTheFirstSubmitAddsOneRowNumberedOne() {
        UserDataWindow t;
        QCOMPARE(t.w->windowTitle(), QStringLiteral("User Data"));
        QCOMPARE(t.combo()->currentText(), QStringLiteral("OM"));
        QVERIFY(!t.combo()->isEditable());
        QCOMPARE(t.w->findChild<QWidget*>(QStringLiteral("Frame6"))->property("title").toString(),
                 QStringLiteral("Courrent User Data:"));
        for (const char* name :
             {"lblOM", "lblCall", "lblfName", "lblsName", "lblAddress", "lblZipCode", "lblCity",
              "lblProv", "lblCountry", "lblWWLocator", "lblemail"}) {
            QCOMPARE(t.label(name), QString());
        }
        t.fill(QStringLiteral("SWL"));
        t.click("cmdSubmit");
        QVERIFY(t.env.dialogs.shown.empty());
        QCOMPARE(t.rows(), qint64(1));
        QCOMPARE(t.env.m.logDb.scalar(QStringLiteral("select typeof(count) || count from userData"))
                     .toString(),
                 QStringLiteral("integer1"));
        // Every input goes to its own field, every field to its own label.
        const std::vector<std::tuple<QString, const char*, QString>> fields{
            {QStringLiteral("OM/YL/SWL"), "lblOM", QStringLiteral("SWL")},
            {QStringLiteral("call"), "lblCall", QStringLiteral("IK0XYZ")},
            {QStringLiteral("fName"), "lblfName", QStringLiteral("MARIO")},
            {QStringLiteral("sName"), "lblsName", QStringLiteral("ROSSI")},
            {QStringLiteral("address"), "lblAddress", QStringLiteral("VIA ROMA 1")},
            {QStringLiteral("ZIPcode"), "lblZipCode", QStringLiteral("40400")},
            {QStringLiteral("city"), "lblCity", QStringLiteral("VALDORIA")},
            {QStringLiteral("prov"), "lblProv", QStringLiteral("VD")},
            {QStringLiteral("country"), "lblCountry", QStringLiteral("ITALIA")},
            {QStringLiteral("WWLocator"), "lblWWLocator", QStringLiteral("HM52LM")},
            {QStringLiteral("email"), "lblemail", QStringLiteral("MARIO@EXAMPLE.ORG")},
        };
        for (const auto& [field, label, value] : fields) {
            QCOMPARE(t.stored(field), value);
            QCOMPARE(t.label(label), value);
        }
        // The inputs keep what was typed.
        QCOMPARE(t.box("txtCall")->text(), QStringLiteral("IK0XYZ"));
    }

    void laterSubmitsOverwriteTheOneRowAndKeepItsNumber() {
        UserDataWindow t;
        t.fill(QStringLiteral("OM"));
        t.click("cmdSubmit");
        t.env.m.logDb.execute(QStringLiteral("update userData set count = 7"));
        t.fill(QStringLiteral("YL"));
        t.box("txtCall")->setText(QStringLiteral("IZ5NEW"));
        t.box("txtEmail")->clear();
        t.click("cmdSubmit");
        QCOMPARE(t.rows(), qint64(1));
        QCOMPARE(t.stored(QStringLiteral("count")), QStringLiteral("7"));
        QCOMPARE(t.stored(QStringLiteral("OM/YL/SWL")), QStringLiteral("YL"));
        QCOMPARE(t.stored(QStringLiteral("call")), QStringLiteral("IZ5NEW"));
        // An empty e-mail is stored as one blank.
        QCOMPARE(t.stored(QStringLiteral("email")), QStringLiteral(" "));
        QCOMPARE(t.label("lblemail"), QStringLiteral(" "));
        QCOMPARE(t.label("lblOM"), QStringLiteral("YL"));
    }

    // Walks through the checks: each empty field and each field one character too long is
    // refused with its own message, in the order of the checks, until the record passes.
    void checksRunInTheirOrderWithTheirMessages() {
        UserDataWindow t;
        struct Step {
            const char* box;
            int limit;
            QString empty;
            QString tooLong;
        };
        const std::vector<Step> steps{
            {"txtAddress", 40, QStringLiteral("Address field cannot be null"),
             QStringLiteral("Address field cannot hold more than 40 characters")},
            {"txtCall", 10, QStringLiteral("Call field cannot be null"),
             QStringLiteral("Call field cannot hold more than 10 characters")},
            {"txtCity", 20, QStringLiteral("City field cannot be null"),
             QStringLiteral("City field cannot hold more than 20 characters")},
            {"txtCountry", 20, QStringLiteral("Country field cannot be null"),
             QStringLiteral("Country field cannot hold more than 20 characters")},
            {"txtfName", 20, QStringLiteral("First Name field cannot be null"),
             QStringLiteral("First Name field cannot hold more than 20 characters")},
            {"txtsName", 20, QStringLiteral("sencod Name field cannot be null"),
             QStringLiteral("Second Name field cannot hold more than 20 characters")},
            {"txtZipCode", 10, QStringLiteral("Zip Code field cannot be null"),
             QStringLiteral("Zip Code field cannot hold more than 10 characters")},
            {"txtProv", 20, QStringLiteral("Prov field cannot be null"),
             QStringLiteral("Prov field cannot hold more than 20 characters")},
            {"txtWWLocator", 6, QStringLiteral("WWLocator field cannot be null"),
             QStringLiteral("WWLocator field cannot hold more than 6 characters")},
            {"txtEmail", 50, QString(),
             QStringLiteral("e-mail field cannot hold more than 50 characters")},
        };
        // Every later field is too long, so a check that ran early would show.
        for (const Step& step : steps) {
            t.box(step.box)->setText(QString(step.limit + 1, u'X'));
        }
        for (const Step& step : steps) {
            QLineEdit* b = t.box(step.box);
            if (!step.empty.isEmpty()) {
                b->clear();
                t.env.dialogs.clear();
                t.click("cmdSubmit");
                QCOMPARE(t.env.dialogs.texts(), QStringList({step.empty}));
                QCOMPARE(t.env.dialogs.shown[0].icon, Icon::Critical);
                QCOMPARE(t.env.dialogs.shown[0].title, QStringLiteral("HM52"));
            }
            b->setText(QString(step.limit + 1, u'X'));
            t.env.dialogs.clear();
            t.click("cmdSubmit");
            QCOMPARE(t.env.dialogs.texts(), QStringList({step.tooLong}));
            QCOMPARE(t.rows(), qint64(0));
            // Exactly the limit passes this check.
            b->setText(QString(step.limit, u'X'));
        }
        t.env.dialogs.clear();
        t.click("cmdSubmit");
        QVERIFY(t.env.dialogs.shown.empty());
        QCOMPARE(t.rows(), qint64(1));
        QCOMPARE(t.stored(QStringLiteral("address")), QString(40, u'X'));
        QCOMPARE(t.stored(QStringLiteral("email")), QString(50, u'X'));
    }

    void allEmptyShowsOnlyTheAddressMessage() {
        UserDataWindow t;
        t.click("cmdSubmit");
        QCOMPARE(t.env.dialogs.texts(),
                 QStringList({QStringLiteral("Address field cannot be null")}));
        QCOMPARE(t.rows(), qint64(0));
    }

    void blanksOnlyAndShortLocatorsAreAccepted() {
        UserDataWindow t;
        t.fill();
        t.box("txtAddress")->setText(QStringLiteral("   "));
        t.box("txtWWLocator")->setText(QStringLiteral("JNX"));
        t.click("cmdSubmit");
        QVERIFY(t.env.dialogs.shown.empty());
        QCOMPARE(t.stored(QStringLiteral("address")), QStringLiteral("   "));
        QCOMPARE(t.stored(QStringLiteral("WWLocator")), QStringLiteral("JNX"));
    }

    void aRefusedSubmitShowsTheStoredRecordAndKeepsTheInputs() {
        UserDataWindow t;
        t.fill();
        t.click("cmdSubmit");
        // Changed outside the window: the display is read again after a refusal too.
        t.env.m.logDb.execute(QStringLiteral("update userData set city = 'ALTROVE'"));
        t.box("txtCall")->setText(QStringLiteral("IK0XYZTOOLONG"));
        t.box("txtCity")->setText(QStringLiteral("NUOVA"));
        t.click("cmdSubmit");
        QCOMPARE(t.env.dialogs.texts(),
                 QStringList({QStringLiteral("Call field cannot hold more than 10 characters")}));
        QCOMPARE(t.stored(QStringLiteral("call")), QStringLiteral("IK0XYZ"));
        QCOMPARE(t.label("lblCall"), QStringLiteral("IK0XYZ"));
        QCOMPARE(t.label("lblCity"), QStringLiteral("ALTROVE"));
        QCOMPARE(t.box("txtCall")->text(), QStringLiteral("IK0XYZTOOLONG"));
        QCOMPARE(t.box("txtCity")->text(), QStringLiteral("NUOVA"));
    }

    void typingUpperCasesAndKeepsTheCaret() {
        UserDataWindow t;
        showActive(t.w);
        for (const char* name : {"txtCall", "txtfName", "txtsName", "txtAddress", "txtZipCode",
                                 "txtCity", "txtProv", "txtCountry", "txtWWLocator", "txtEmail"}) {
            QLineEdit* b = t.box(name);
            b->setFocus();
            QTest::keyClicks(b, QStringLiteral("ab"));
            QCOMPARE(b->text(), QStringLiteral("AB"));
            QCOMPARE(b->cursorPosition(), 2);
            b->clear();
        }
        QLineEdit* email = t.box("txtEmail");
        email->setFocus();
        QTest::keyClicks(email, QStringLiteral("ab"));
        QCOMPARE(email->text(), QStringLiteral("AB"));
        QCOMPARE(email->cursorPosition(), 2);
        QTest::keyClicks(email, QStringLiteral("d"));
        email->setCursorPosition(2);
        QTest::keyClicks(email, QStringLiteral("c"));
        QCOMPARE(email->text(), QStringLiteral("ABCD"));
        QCOMPARE(email->cursorPosition(), 3);
        QLineEdit* city = t.box("txtCity");
        city->setFocus();
        QTest::keyClicks(city, QStringLiteral("for"));
        QTest::sendKeyEvent(QTest::Click, city, Qt::Key_unknown, QStringLiteral("ì"),
                            Qt::NoModifier);
        QCOMPARE(city->text(), QStringLiteral("FORÌ"));
        QCOMPARE(city->cursorPosition(), 4);
        // The selector takes no typing.
        QCOMPARE(t.combo()->count(), 3);
        QCOMPARE(t.combo()->itemText(2), QStringLiteral("SWL"));
    }

    void aLongRecordShowsWholeAndTheInputsKeepTheirWidth() {
        UserDataWindow t;
        showActive(t.w);
        const int inputWidth = t.box("txtAddress")->width();
        t.fill();
        t.box("txtAddress")->setText(QString(40, u'W'));
        t.box("txtEmail")->setText(QString(50, u'W'));
        t.box("txtCountry")->setText(QString(20, u'W'));
        t.click("cmdSubmit");
        QCOMPARE(t.label("lblemail"), QString(50, u'W'));
        auto wholeShown = [&t]() {
            for (QLabel* label :
                 t.w->findChild<QWidget*>(QStringLiteral("Frame6"))->findChildren<QLabel*>()) {
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
        t.fill(QStringLiteral("YL"));
        t.click("cmdSubmit");
        t.click("cmdClear");
        QCOMPARE(t.combo()->currentText(), QStringLiteral("OM"));
        for (const char* name : {"txtAddress", "txtCall", "txtCity", "txtCountry", "txtEmail",
                                 "txtfName", "txtsName", "txtZipCode", "txtProv", "txtWWLocator"}) {
            QCOMPARE(t.box(name)->text(), QString());
        }
        QCOMPARE(t.label("lblOM"), QStringLiteral("YL"));
        QCOMPARE(t.rows(), qint64(1));
    }

    void exitHidesWithTheInputsAndTheCloseBoxLoadsAfresh() {
        UserDataWindow t;
        showActive(t.w);
        t.fill(QStringLiteral("SWL"));
        t.click("Command1");
        QVERIFY(!t.w->isVisible());
        QCOMPARE(&t.env.registry->userData(), t.w);
        QCOMPARE(t.box("txtCall")->text(), QStringLiteral("IK0XYZ"));
        QCOMPARE(t.combo()->currentText(), QStringLiteral("SWL"));

        t.env.setOperator(QStringLiteral("IW9ZZZ"));
        t.w->show();
        t.w->close();
        QVERIFY(t.env.registry->loaded(Window::UserData) == nullptr);
        t.w = &t.env.registry->userData();
        QCOMPARE(t.box("txtCall")->text(), QString());
        QCOMPARE(t.combo()->currentText(), QStringLiteral("OM"));
        QCOMPARE(t.label("lblCall"), QStringLiteral("IW9ZZZ"));
    }
};

QTEST_MAIN(UserDataTest)
#include "tst_userdata.moc"
