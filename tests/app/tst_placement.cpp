// Every window from the first to the last loads through the registry under its name, and its
// close box unloads it. Every window whole on the screen that holds the main window: on a 1024
// by 768 screen each window keeps its size and stands inside the screen; on a screen too small
// for a window, the window scrolls instead of being cut.

#include "app/principale.h"
#include "support/TestEnv.h"
#include "ui/Form.h"

#include <QPointer>
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
    // Loaded under its name, not shown, once: loading it again gives the same window.
    void everyWindowLoadsThroughTheRegistryUnderItsName_data() { everyWindow(); }
    void everyWindowLoadsThroughTheRegistryUnderItsName() {
        QFETCH(int, window);
        TestEnv env;
        const auto w = static_cast<Window>(window);
        QWidget& loaded = env.registry->load(w);
        QCOMPARE(loaded.objectName(), u"frm"_s + QLatin1String(windowNames[window]));
        QVERIFY(!loaded.isVisible());
        QCOMPARE(&env.registry->load(w), &loaded);
    }

    // The registry forgets the window at once and it goes.
    void everyWindowsCloseBoxUnloadsIt_data() { everyWindow(); }
    void everyWindowsCloseBoxUnloadsIt() {
        QFETCH(int, window);
        TestEnv env;
        const auto w = static_cast<Window>(window);
        env.registry->show(w);
        QWidget& shown = env.registry->load(w);
        const QPointer<QWidget> first = &shown;
        QVERIFY(shown.close());
        QVERIFY(env.registry->loaded(w) == nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());
    }

    // The main window at the desk's bottom right, where a window cascaded from it would
    // stand off the screen.
    void everyWindowStandsWholeOnTheScreenWithItsSize_data() { everyWindow(); }
    void everyWindowStandsWholeOnTheScreenWithItsSize() {
        QFETCH(int, window);
        Desk d(QPoint(0, 0));
        const QSize mainFrame = d.main.frameGeometry().size();
        d.main.move(desk.right() - mainFrame.width() + 1, desk.bottom() - mainFrame.height() + 1);
        QWidget& w = d.show(static_cast<Window>(window));
        QVERIFY(w.isVisible());
        const QRect frame = w.frameGeometry();
        QVERIFY2(desk.contains(frame), qPrintable(QDebug::toString(frame)));
        QVERIFY(desk.contains(d.main.frameGeometry()));
        // Its own size and layout: nothing to scroll.
        QVERIFY(w.findChild<QScrollArea*>(u"scrollWindow"_s) == nullptr);
        w.hide();
    }

    void aWindowLargerThanTheScreenScrolls() {
        // The main window on the small screen: the browser (810 by 494) does not fit it.
        Desk d(small.topLeft() + QPoint(10, 10));
        QWidget& browser = d.show(Window::Utility);
        QVERIFY(small.contains(browser.frameGeometry()));
        auto* scroll = browser.findChild<QScrollArea*>(u"scrollWindow"_s);
        QVERIFY(scroll != nullptr && scroll->isVisible());
        // The contents at their own size, the rest a scroll away.
        QCOMPARE(scroll->widget()->minimumSize(), QSize(tw(12150), tw(7410)));
        QVERIFY(scroll->horizontalScrollBar()->maximum() > 0);
        QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
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
