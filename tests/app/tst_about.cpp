// The about box: its contents, the link to the sponsor's page, and the keys and buttons that
// close it.

#include "app/frmAbout.h"
#include "support/TestEnv.h"

using namespace hm52;
using namespace hm52::test;

class AboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsVersionCreditsPicturesAndTheSiteWhoseLinkOpensItEachTime() {
        TestEnv env;
        env.registry->show(Window::About);
        frmAbout& w = env.registry->about();
        showActive(&w);
        QCOMPARE(w.windowTitle(), u"about HM52"_s);
        QVERIFY(!w.isModal());
        QCOMPARE(child<QLabel>(&w, "lblVersion")->text(), u"Version 1.0 "_s);
        QVERIFY(!child<QLabel>(&w, "lblDescription")->text().isEmpty());
        QLabel* link = child<QLabel>(&w, "Label2");
        QVERIFY(link->text().startsWith(u"Site: http"_s));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        for (const char* name : {"lblVersion", "lblDescription", "Label2"}) {
            QVERIFY(child<QLabel>(&w, name)->font().bold());
        }
        QCOMPARE(child<QLabel>(&w, "Picture2")->pixmap().size(), QSize(64, 111));
        QCOMPARE(child<QLabel>(&w, "Picture1")->pixmap().size(), QSize(321, 64));

        // The link opens the site each time; the box stays.
        const QString address = link->text().mid(6);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(env.shell.opened, QStringList({address, address}));
        QVERIFY(w.isVisible());
        QVERIFY(env.dialogs.shown.empty());
    }

    void enterEscAndOkHideTheSameBoxAndTheCloseBoxUnloadsIt_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("OK") << 0;
    }

    void enterEscAndOkHideTheSameBoxAndTheCloseBoxUnloadsIt() {
        QFETCH(int, key);
        TestEnv env;
        env.registry->show(Window::About);
        frmAbout& w = env.registry->about();
        showActive(&w);
        auto* ok = child<QPushButton>(&w, "cmdOK");
        QCOMPARE(ok->text(), u"OK"_s);
        QVERIFY(ok->isDefault());
        if (key == 0) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            QTest::keyClick(w.windowHandle(), Qt::Key(key));
        }
        QVERIFY(!w.isVisible());
        env.registry->show(Window::About);
        QCOMPARE(&env.registry->about(), &w); // hidden, not unloaded

        w.close();
        QVERIFY(env.registry->loaded(Window::About) == nullptr);
        env.registry->show(Window::About);
        QVERIFY(env.registry->loaded(Window::About) != nullptr);
        QVERIFY(env.registry->loaded(Window::About)->isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
