// The place finder: the two searches, the two-letter box, the line format and leaving the
// window empty.

#include "places/frmFindPlaces.h"
#include "support/Pixels.h"
#include "support/TestEnv.h"

#include <QListWidget>

using namespace hm52;
using namespace hm52::test;

class PlacesTest : public QObject {
    Q_OBJECT

private:
    struct Window {
        TestEnv env;
        frmFindPlaces* w = &env.registry->findPlaces();
        QLineEdit* locator = child<QLineEdit>(w, "txtWWLocator");
        QLineEdit* place = child<QLineEdit>(w, "txtPlace");
        QListWidget* list = child<QListWidget>(w, "List");
        Window() {
            env.registry->show(hm52::Window::FindPlaces);
            showActive(w);
        }
    };

private Q_SLOTS:
    // Each search replaces the list, even with nothing, and empties the other box.
    void eachSearchFindsWholeNamesOnly_data() {
        QTest::addColumn<bool>("byPlace");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        const auto add = [](const char* name, bool byPlace, const QString& typed,
                            const QStringList& found) {
            QTest::newRow(name) << byPlace << typed << found;
        };
        add("a sub-square's places by name", false, u"AB"_s,
            {"HM52AB | ALFA                           | BD ",
             "HM52AB | BRAVO                          | CV ",
             "HM52AB | CHARLIE                        | BD ",
             "HM52AB | PIAN D'OLMO                    | LM "});
        add("a name longer than its column, cut", false, u"MN"_s,
            {"HM52MN | CA' BIANCA                     | TD ",
             "HM52MN | SANTA MARIA DELLE GRAZIE AL MO | VD "});
        add("a name in two sub-squares, with a quote", true, u"PIAN D'OLMO"_s,
            {"HM52AB | PIAN D'OLMO                    | LM ",
             "HM52AC | PIAN D'OLMO                    | MV "});
        add("a part of a name", true, u"SANTA"_s, {});
    }

    void eachSearchFindsWholeNamesOnly() {
        QFETCH(bool, byPlace);
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        Window f;
        QTest::keyClicks(f.locator, u"XX"_s);
        f.place->setText(u"ECHO"_s);
        click(f.w, byPlace ? "cmdSearch2" : "cmdSearch");
        QVERIFY(f.list->count() > 0);
        (byPlace ? f.place : f.locator)->setText(typed);
        click(f.w, byPlace ? "cmdSearch2" : "cmdSearch");
        QStringList lines = itemTexts(f.list);
        if (byPlace) {
            lines.sort(); // equal names come in the engine's order
        }
        QCOMPARE(lines, found);
        // The box searched keeps the text as typed; the other is empty.
        QCOMPARE(texts(f.w, "txtWWLocator txtPlace"), byPlace ? u'|' + typed : typed + u'|');
    }

    void theSubSquareBoxTakesTwoUpperCaseLettersAndAClickSelectsThem() {
        Window f;
        f.locator->setFocus();
        QTest::keyClicks(f.locator, u"hmx"_s);
        QCOMPARE(boxState(f.locator), u"HM [HM] *"_s); // the next key typed replaces both

        // A click selects the two letters.
        f.place->setFocus();
        f.locator->setText(u"AB"_s);
        QTest::mouseClick(f.locator, Qt::LeftButton, {}, QPoint(2, f.locator->height() / 2));
        QCOMPARE(boxState(f.locator), u"AB [AB] *"_s);
    }

    // (The close box unloads it: tst_placement, for every window.)
    void theCaptionStandsOverTheLinesAndClearAndExitLeaveNothingBehind() {
        Window f;
        QCOMPARE(texts(f.w, "Frame1"), u" WWLoc | Place                          | Prov |"_s);
        f.locator->setText(u"MN"_s);
        click(f.w, "cmdSearch");
        // On screen the header's bars stand over the lines' bars (the header has one more); a
        // name longer than its column shows whole in its tip.
        QVERIFY(barsAligned(f.w, child<QGroupBox>(f.w, "Frame1"), f.list, 0, 3, 2));
        QCOMPARE(f.list->item(1)->toolTip(), u"HM52MN | SANTA MARIA DELLE GRAZIE AL MONTE | VD"_s);

        const auto fill = [&f]() {
            f.locator->setText(u"AB"_s);
            click(f.w, "cmdSearch");
            f.place->setText(u"DELTA"_s);
            QVERIFY(f.list->count() > 0);
        };
        fill();
        f.place->setFocus();
        click(f.w, "cmdClear");
        QVERIFY(f.locator->text().isEmpty() && f.place->text().isEmpty() && f.list->count() == 0);
        QCOMPARE(QApplication::focusWidget(), f.locator);

        fill();
        QCOMPARE(child<QPushButton>(f.w, "Command2")->text(), u"Exit"_s);
        click(f.w, "Command2");
        QVERIFY(!f.w->isVisible());
        QVERIFY(f.locator->text().isEmpty() && f.place->text().isEmpty() && f.list->count() == 0);
    }
};

QTEST_MAIN(PlacesTest)
#include "tst_places.moc"
