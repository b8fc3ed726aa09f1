// Every window from the first to the last loads through the registry under its name, and its
// close box unloads it. Every window whole on the screen that holds the main window: on a
// 1024 by 768 screen each window keeps its size and stands inside the screen, under the main
// window's menu bar where there is room, the windows cascading from the main window; on a screen
// too small for a window, the window scrolls instead of being cut.

#include "app/principale.h"
#include "support/TestEnv.h"
#include "ui/Form.h"

#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace hm52;
using namespace hm52::test;

namespace {

// The two screens of the run, side by side: a desk of 1024 by 768 and a small one.
const QRect desk(0, 0, 1024, 768);
const QRect small(1024, 0, 480, 320);

// The program's main window, shown with its frame's top left at `at`.
struct Desk {
    TestEnv env;
    principale main{*env.services, *env.registry, {}};
    explicit Desk(QPoint at) {
        main.move(at);
        showActive(&main);
    }
    int belowMenu() const {
        return main.menuBar()->mapToGlobal(QPoint(0, main.menuBar()->height())).y();
    }
    QWidget& show(Window w) {
        env.registry->show(w);
        return *env.registry->loaded(w);
    }
};

const char* const windowNames[] = {"InsertQSO",     "EditQSO", "Utility",    "Award",
                                   "BAR",           "AE",      "UserData",   "FindPlaces",
                                   "About",         "Map",     "ImportADIF", "ImportReport",
                                   "RestoreBackup", "Rig",     "Needed"};
static_assert(std::size(windowNames) == windowCount, "a name for every window");

void everyWindow() {
    QTest::addColumn<int>("window");
    for (int w = 0; w < windowCount; ++w) {
        QTest::addRow("%s", windowNames[w]) << w;
    }
}

} // namespace

class PlacementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Loaded, not shown, once: loading it again gives the same window.
    void everyWindowLoadsThroughTheRegistryUnderItsName_data() { everyWindow(); }
    void everyWindowLoadsThroughTheRegistryUnderItsName() {
        QFETCH(int, window);
        TestEnv env;
        const auto w = static_cast<Window>(window);
        QVERIFY(env.registry->loaded(w) == nullptr);
        QWidget& loaded = env.registry->load(w);
        QCOMPARE(loaded.objectName(), u"frm"_s + QLatin1String(windowNames[window]));
        QVERIFY(loaded.isWindow());
        QVERIFY(!loaded.isVisible());
        QCOMPARE(env.registry->loaded(w), &loaded);
        QCOMPARE(&env.registry->load(w), &loaded);
    }

    // The registry forgets the window at once and it goes; the next showing loads a new one.
    void everyWindowsCloseBoxUnloadsIt_data() { everyWindow(); }
    void everyWindowsCloseBoxUnloadsIt() {
        QFETCH(int, window);
        TestEnv env;
        const auto w = static_cast<Window>(window);
        env.registry->show(w);
        QWidget& shown = env.registry->load(w);
        QVERIFY(shown.isVisible());
        const QPointer<QWidget> first = &shown;
        QVERIFY(shown.close());
        QVERIFY(env.registry->loaded(w) == nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
        env.registry->show(w);
        QVERIFY(env.registry->load(w).isVisible()); // loaded by the showing, not hidden
    }

    void theScreensAreThoseOfTheRun() {
        QStringList seen;
        for (const QScreen* screen : QGuiApplication::screens()) {
            seen << screen->name() + u' ' + QDebug::toString(screen->availableGeometry());
        }
        QCOMPARE(seen, QStringList({u"desk "_s + QDebug::toString(desk),
                                    u"small "_s + QDebug::toString(small)}));
    }

    // Each window, the main window at the desk's top left or at its bottom right.
    void everyWindowStandsWholeOnTheScreenWithItsSize_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("mainAtBottomRight");
        for (int w = 0; w < windowCount; ++w) {
            QTest::addRow("%s, main at top left", windowNames[w]) << w << false;
            QTest::addRow("%s, main at bottom right", windowNames[w]) << w << true;
        }
    }

    void everyWindowStandsWholeOnTheScreenWithItsSize() {
        QFETCH(int, window);
        QFETCH(bool, mainAtBottomRight);
        Desk d(QPoint(0, 0));
        if (mainAtBottomRight) {
            const QSize frame = d.main.frameGeometry().size();
            d.main.move(desk.right() - frame.width() + 1, desk.bottom() - frame.height() + 1);
        }
        QWidget& w = d.show(static_cast<Window>(window));
        QVERIFY(w.isVisible());
        const QRect frame = w.frameGeometry();
        QVERIFY2(desk.contains(frame), qPrintable(QDebug::toString(frame)));
        QVERIFY(desk.contains(d.main.frameGeometry()));
        // Under the menu bar when the screen has room for the window there; else clear of
        // the menu bar when the screen has room for that.
        const QRect menu(d.main.menuBar()->mapToGlobal(QPoint(0, 0)), d.main.menuBar()->size());
        if (desk.bottom() - d.belowMenu() + 1 >= frame.height()) {
            QVERIFY(frame.top() >= d.belowMenu());
        } else if (menu.top() - desk.top() >= frame.height() ||
                   menu.left() - desk.left() >= frame.width() ||
                   desk.right() - menu.right() >= frame.width()) {
            QVERIFY(!frame.intersects(menu));
        }
        // Its own size and layout: nothing to scroll.
        QVERIFY(w.findChild<QScrollArea*>(u"scrollWindow"_s) == nullptr);
        w.hide();
    }

    void windowsCascadeFromTheMainWindow() {
        Desk d(QPoint(100, 50));
        const QPoint origin(d.main.frameGeometry().left(), d.belowMenu());
        QList<QPoint> placed;
        for (const Window w : {Window::InsertQSO, Window::Award, Window::UserData, Window::BAR}) {
            placed << d.show(w).frameGeometry().topLeft();
        }
        const int step = WindowPlacement::step;
        QCOMPARE(placed, QList<QPoint>({origin + QPoint(step, 0), origin + QPoint(2 * step, step),
                                        origin + QPoint(3 * step, 2 * step),
                                        origin + QPoint(4 * step, 3 * step)}));
        // A place left by a hidden window is taken again; a window shown again keeps its place.
        d.env.registry->loaded(Window::Award)->hide();
        QCOMPARE(d.show(Window::FindPlaces).frameGeometry().topLeft(), placed[1]);
        QCOMPARE(d.show(Window::Award).frameGeometry().topLeft(), placed[1]);
    }

    void aWindowLargerThanTheScreenScrolls() {
        // The main window on the small screen: the browser (810 by 494) does not fit it.
        Desk d(small.topLeft() + QPoint(10, 10));
        QWidget& browser = d.show(Window::Utility);
        QVERIFY(small.contains(browser.frameGeometry()));
        auto* scroll = browser.findChild<QScrollArea*>(u"scrollWindow"_s);
        QVERIFY(scroll != nullptr && scroll->isVisible());
        // The contents at their own size, every control in them, the rest a scroll away.
        QCOMPARE(scroll->widget()->minimumSize(), QSize(tw(12150), tw(7410)));
        QVERIFY(scroll->widget()->isAncestorOf(child(&browser, "List")));
        QVERIFY(scroll->horizontalScrollBar()->maximum() > 0);
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
        // A window that fits keeps its size there too.
        QWidget& about = d.show(Window::About);
        QVERIFY(small.contains(about.frameGeometry()));
        QVERIFY(about.findChild<QScrollArea*>(u"scrollWindow"_s) == nullptr);
    }
};

int main(int argc, char** argv) {
    // The offscreen platform with the run's two screens.
    QTemporaryDir dir;
    const QString config = dir.filePath(u"screens.json"_s);
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        return 1;
    }
    file.write(QString::asprintf(R"({"screens": [
        {"name": "desk", "x": %d, "y": %d, "width": %d, "height": %d},
        {"name": "small", "x": %d, "y": %d, "width": %d, "height": %d}]})",
                                 desk.x(), desk.y(), desk.width(), desk.height(), small.x(),
                                 small.y(), small.width(), small.height())
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    PlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_placement.moc"
