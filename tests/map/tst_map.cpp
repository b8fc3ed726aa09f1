// The sub-square map: each cell drawn in the colour of its best QSL state for the chosen mode
// and band, oriented like the map, with counts, progress, hover names, the browser on
// double-click, a refresh after every change of the log, and a PNG of it all. (Best states and
// the progress of each request: tests/rules.)

#include "app/principale.h"
#include "map/frmMap.h"
#include "support/TestEnv.h"
#include "ui/Windows.h"

#include <QImage>

using namespace hm52;
using namespace hm52::test;
using State = SubSquareGrid::State;

namespace {

// The map opened from the award menu on a log of a QSO in each state. (The entry shows it:
// tst_trust, for every entry.)
struct Map {
    Map() : main(*env.services, *env.registry, []() {}) {
        env.addQso({.WWLocator = "AB", .qsl = "c"});
        env.addQso({.WWLocator = "AC", .qsl = "a"});
        env.addQso({.WWLocator = "XX", .qsl = "w"});
        env.addQso({.WWLocator = "MN", .mode = "SSB", .qsl = "c"}); // another mode
        env.addQso({.WWLocator = "BD", .qsl = "w"});                // a sub-square without places
        child<QAction>(&main, "mnMap")->trigger();
        w = &env.registry->map();
    }
    TestEnv env;
    principale main;
    frmMap* w = nullptr;

    SubSquareGrid* grid() { return child<SubSquareGrid>(w, "picMap"); }
    QPoint centre(const char* letters) {
        return grid()->cellRect(rules::squareIndex(QString::fromLatin1(letters))).center();
    }
    // The colour drawn at the centre of a cell.
    QColor drawn(const char* letters) {
        return grid()->grab().toImage().pixelColor(centre(letters));
    }
    void choose(const char* combo, const QString& text) {
        auto* box = child<QComboBox>(w, combo);
        box->setCurrentIndex(box->findText(text));
        Q_EMIT box->activated(box->currentIndex());
    }
};

} // namespace

class MapTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // On HF MIXED, as first shown.
    void eachCellIsDrawnInTheColourOfItsBestState_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("confirmed") << u"AB"_s << SubSquareGrid::colourOf(State::Confirmed);
        QTest::newRow("accredited") << u"AC"_s << SubSquareGrid::colourOf(State::Accredited);
        QTest::newRow("worked, no places") << u"BD"_s << SubSquareGrid::colourOf(State::Worked);
        QTest::newRow("no places") << u"AA"_s << SubSquareGrid::noPlacesColour();
    }
    void eachCellIsDrawnInTheColourOfItsBestState() {
        QFETCH(QString, cell);
        QFETCH(QColor, colour);
        Map map;
        QCOMPARE(map.drawn(qPrintable(cell)), colour);
    }

    void theCountsAndTheProgressAreShown() {
        Map map;
        QCOMPARE(texts(map.w, "lblCounts"),
                 u"Sub-squares: worked 2, confirmed 1, accredited 1, not worked 572"_s);
        QCOMPARE(texts(map.w, "lblProgress"), u"Base award: 1 of 75 confirmed, 74 more needed"_s);
    }

    // Saved as a PNG of the whole sheet, as drawn.
    void theMapIsSavedAsAPngOfTheSheet() {
        Map map;
        const QString path = map.env.dir.filePath(u"map.png"_s);
        map.env.fileDialogs.answer(path);
        QTest::mouseClick(child<QPushButton>(map.w, "cmdSavePNG"), Qt::LeftButton);
        QVERIFY(map.env.fileDialogs.asked.at(0).suggested.endsWith(u"hm52-map-MIXED-HF.png"_s));
        QImage png;
        QVERIFY(png.load(path, "PNG"));
        auto* sheet = child(map.w, "sheet");
        QCOMPARE(png.size(), sheet->size() * sheet->devicePixelRatio());
        const QPoint at = map.grid()->mapTo(sheet, map.centre("AB"));
        QCOMPARE(png.pixelColor(at), SubSquareGrid::colourOf(State::Confirmed));
    }

    // The first letter runs west to east, the second south to north.
    void theCellsLieAsOnTheMap() {
        Map map;
        const QPoint aa = map.centre("AA");
        QVERIFY(map.centre("BA").x() > aa.x() && map.centre("BA").y() == aa.y());
        QVERIFY(map.centre("AB").y() < aa.y() && map.centre("AB").x() == aa.x());
    }

    // Hovering names a cell and its places.
    void hoveringNamesACellAndItsPlaces() {
        Map map;
        QTest::mouseMove(map.grid(), map.centre("AA"));
        QCOMPARE(texts(map.w, "lblCell"), u"HM52AA: no place in the gazetteer"_s);
        QTest::mouseMove(map.grid(), map.centre("AB"));
        QCOMPARE(texts(map.w, "lblCell"), u"HM52AB: ALFA, BRAVO, CHARLIE, PIAN D'OLMO"_s);
    }

    // A double-click lists the cell's QSOs in the browser, the other terms cleared; it is not
    // also a click, which would open the Needed list.
    void aDoubleClickListsTheCellsQsosInTheBrowser() {
        Map map;
        BrowserTerms& t = map.env.registry->browserTerms();
        t.searchCall = t.searchLocator = t.searchPlace = t.searchProv = u"X"_s;
        QTest::mouseDClick(map.grid(), Qt::LeftButton, {}, map.centre("AC"));
        QCOMPARE(t.searchCall + u'|' + t.searchLocator + u'|' + t.searchPlace + u'|' + t.searchProv,
                 u"|AC||"_s);
        QWidget* browser = map.env.registry->loaded(Window::Utility);
        QVERIFY(browser != nullptr && browser->isVisible());
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QCOMPARE(map.env.registry->loaded(Window::Needed), nullptr);
    }

    // The map follows every change of the log, in the mode and band now chosen (XX is worked on
    // HF MIXED only), even hidden by Exit.
    void theMapFollowsTheLogEvenHidden() {
        Map map;
        map.choose("comboMode", u"SSB"_s);
        map.choose("comboBand", u"VHF"_s);
        QCOMPARE(map.drawn("XX"), SubSquareGrid::colourOf(State::None));
        QTest::mouseClick(child<QPushButton>(map.w, "cmdExit"), Qt::LeftButton);
        QVERIFY(!map.w->isVisible());
        map.env.addQso({.WWLocator = "XX", .mode = "SSB", .band = "VHF", .qsl = "c"});
        map.env.registry->conta();
        QCOMPARE(map.drawn("XX"), SubSquareGrid::colourOf(State::Confirmed));
    }
};

QTEST_MAIN(MapTest)
#include "tst_map.moc"
