// The place finder: the two searches, the two-letter box, the line format and leaving the
// window empty.

#include "places/frmFindPlaces.h"
#include "support/Pixels.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace hm52;
using namespace hm52::test;

class PlacesTest : public QObject {
    Q_OBJECT

private:
    struct Window {
        TestEnv env;
        frmFindPlaces* w = nullptr;
        QLineEdit* locator = nullptr;
        QLineEdit* place = nullptr;
        QListWidget* list = nullptr;
        Window() {
            env.registry->show(hm52::Window::FindPlaces);
            w = &env.registry->findPlaces();
            showActive(w);
            locator = w->findChild<QLineEdit*>(QStringLiteral("txtWWLocator"));
            place = w->findChild<QLineEdit*>(QStringLiteral("txtPlace"));
            list = w->findChild<QListWidget*>(QStringLiteral("List"));
        }
        void click(const char* button) const {
            w->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        }
        QStringList lines() const {
            QStringList all;
            for (int i = 0; i < list->count(); ++i) {
                all << list->item(i)->text();
            }
            return all;
        }
    };

    static QList<int> bars(const QString& text) {
        QList<int> at;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) == u'|') {
                at << static_cast<int>(i + 1);
            }
        }
        return at;
    }

private Q_SLOTS:
    void aSubSquareListsItsPlacesByNameUnderTheHeader() {
        Window f;
        const QString header = f.w->findChild<QGroupBox*>(QStringLiteral("Frame1"))->title();
        QCOMPARE(header, QStringLiteral(" WWLoc | Place                          | Prov |"));
        QCOMPARE(bars(header), (QList<int>{8, 41, 48}));
        f.place->setText(QStringLiteral("ALFA"));
        QTest::keyClicks(f.locator, QStringLiteral("ab"));
        f.click("cmdSearch");
        QCOMPARE(f.lines(), (QStringList{
                                "HM52AB | ALFA                           | BD ",
                                "HM52AB | BRAVO                          | CV ",
                                "HM52AB | CHARLIE                        | BD ",
                                "HM52AB | PIAN D'OLMO                    | LM ",
                            }));
        QVERIFY(f.place->text().isEmpty());
        QCOMPARE(f.locator->text(), QStringLiteral("AB"));
        QVERIFY(f.env.dialogs.shown.empty());

        // On screen the header's bars stand over the lines' bars (the header has one more).
        const ShownBars shown =
            shownBars(f.w, f.w->findChild<QGroupBox*>(QStringLiteral("Frame1")), f.list, 0);
        QCOMPARE(shown.caption.size(), 3);
        QCOMPARE(shown.line.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(qAbs(shown.caption[i] - shown.line[i]) <= 1.0,
                     qPrintable(QStringLiteral("bar %1: header at %2, line at %3")
                                    .arg(i + 1)
                                    .arg(shown.caption[i])
                                    .arg(shown.line[i])));
        }
    }

    void aNameLongerThanItsColumnIsCutAndShownWholeInItsTip() {
        Window f;
        QTest::keyClicks(f.locator, QStringLiteral("MN"));
        f.click("cmdSearch");
        QCOMPARE(f.list->count(), 2);
        const QListWidgetItem* longOne = f.list->item(1);
        QCOMPARE(longOne->text(), QStringLiteral("HM52MN | SANTA MARIA DELLE GRAZIE AL MO | VD "));
        QCOMPARE(bars(longOne->text()), (QList<int>{8, 41}));
        QVERIFY(longOne->toolTip().contains(QStringLiteral("SANTA MARIA DELLE GRAZIE AL MONTE")));
    }

    void subSquaresWithoutPlacesOrOfOneLetterGiveAnEmptyList_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("no places there") << "ZZ";
        QTest::newRow("one letter") << "A";
        QTest::newRow("nothing") << "";
        QTest::newRow("a quote") << "'";
    }

    void subSquaresWithoutPlacesOrOfOneLetterGiveAnEmptyList() {
        QFETCH(QString, typed);
        Window f;
        QTest::keyClicks(f.locator, QStringLiteral("AB"));
        f.click("cmdSearch");
        QVERIFY(f.list->count() > 0);
        f.locator->setText(typed);
        f.click("cmdSearch");
        QCOMPARE(f.list->count(), 0);
        QVERIFY(f.env.dialogs.shown.empty());
    }

    void aPlaceIsFoundByItsWholeName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("a name in two sub-squares, with a quote")
            << "PIAN D'OLMO"
            << QStringList{"HM52AB | PIAN D'OLMO                    | LM ",
                           "HM52AC | PIAN D'OLMO                    | MV "};
        QTest::newRow("a province of three letters")
            << "DELTA" << QStringList{"HM52AC | DELTA                          | VLT"};
        QTest::newRow("typed in lower case")
            << "ca' bianca" << QStringList{"HM52MN | CA' BIANCA                     | TD "};
        QTest::newRow("a part of a name") << "SANTA" << QStringList{};
        QTest::newRow("unknown") << "NOWHERE" << QStringList{};
        QTest::newRow("nothing typed") << "" << QStringList{};
    }

    void aPlaceIsFoundByItsWholeName() {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        Window f;
        QTest::keyClicks(f.locator, QStringLiteral("XX"));
        f.click("cmdSearch");
        f.place->setText(typed);
        f.click("cmdSearch2");
        QStringList lines = f.lines();
        lines.sort(); // equal names come in the engine's order
        QCOMPARE(lines, found);
        QVERIFY(f.locator->text().isEmpty());
        QCOMPARE(f.place->text(), typed); // neither upper-cased nor cleared
        QVERIFY(f.env.dialogs.shown.empty());
    }

    void theSubSquareBoxTakesTwoUpperCaseLetters() {
        Window f;
        f.locator->setFocus();
        QTest::keyClicks(f.locator, QStringLiteral("hm"));
        QCOMPARE(f.locator->text(), QStringLiteral("HM"));
        QCOMPARE(f.locator->cursorPosition(), 2);
        QTest::keyClick(f.locator, Qt::Key_X);
        QCOMPARE(f.locator->text(), QStringLiteral("HM"));
        QCOMPARE(f.locator->selectedText(), QStringLiteral("HM"));
        QCOMPARE(QApplication::focusWidget(), f.locator);
        QTest::keyClick(f.locator, Qt::Key_D);
        QCOMPARE(f.locator->text(), QStringLiteral("D"));

        // A pasted text keeps its first two characters, upper-cased and selected.
        f.locator->clear();
        QApplication::clipboard()->setText(QStringLiteral("xy52long"));
        QTest::keyClick(f.locator, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.locator->text(), QStringLiteral("XY"));
        QCOMPARE(f.locator->selectedText(), QStringLiteral("XY"));
    }

    void clickingTheBoxSelectsTwoLettersButNotOne() {
        Window f;
        f.place->setFocus();
        f.locator->setText(QStringLiteral("AB"));
        QTest::mouseClick(f.locator, Qt::LeftButton, {}, QPoint(2, f.locator->height() / 2));
        QCOMPARE(QApplication::focusWidget(), f.locator);
        QCOMPARE(f.locator->selectedText(), QStringLiteral("AB"));
        f.locator->setText(QStringLiteral("A"));
        QTest::mouseClick(f.locator, Qt::LeftButton, {}, QPoint(2, f.locator->height() / 2));
        QVERIFY(f.locator->selectedText().isEmpty());
    }

    void clearExitAndTheCloseBoxLeaveNothingBehind() {
        Window f;
        const auto fill = [&f]() {
            f.locator->setText(QStringLiteral("AB"));
            f.click("cmdSearch");
            f.place->setText(QStringLiteral("DELTA"));
            QVERIFY(f.list->count() > 0);
        };
        fill();
        f.place->setFocus();
        f.click("cmdClear");
        QVERIFY(f.locator->text().isEmpty() && f.place->text().isEmpty());
        QCOMPARE(f.list->count(), 0);
        QCOMPARE(QApplication::focusWidget(), f.locator);

        fill();
        QCOMPARE(f.w->findChild<QPushButton*>(QStringLiteral("Command2"))->text(),
                 QStringLiteral("Exit"));
        f.click("Command2");
        QVERIFY(!f.w->isVisible());
        QCOMPARE(f.env.registry->loaded(hm52::Window::FindPlaces), f.w);
        QVERIFY(f.locator->text().isEmpty() && f.place->text().isEmpty());
        QCOMPARE(f.list->count(), 0);

        f.env.registry->show(hm52::Window::FindPlaces);
        fill();
        f.w->close();
        QVERIFY(f.env.registry->loaded(hm52::Window::FindPlaces) == nullptr);
        f.env.registry->show(hm52::Window::FindPlaces);
        frmFindPlaces& again = f.env.registry->findPlaces();
        QVERIFY(again.findChild<QLineEdit*>(QStringLiteral("txtWWLocator"))->text().isEmpty());
        QCOMPARE(again.findChild<QListWidget*>(QStringLiteral("List"))->count(), 0);
    }
};

QTEST_MAIN(PlacesTest)
#include "tst_places.moc"
