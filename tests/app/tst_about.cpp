// The about box: its contents, the link to the sponsor's page, and the keys and buttons that
// close it.

#include "app/frmAbout.h"
#include "support/TestEnv.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace hm52;
using namespace hm52::test;

class AboutTest : public QObject {
    Q_OBJECT

private:
    static QLabel* label(QWidget& w, const char* name) {
        return w.findChild<QLabel*>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void showsVersionCreditsPicturesAndTheSite() {
        TestEnv env;
        frmAbout& w = env.registry->about();
        QCOMPARE(w.windowTitle(), QStringLiteral("about HM52"));
        QVERIFY(!w.isModal());
        QCOMPARE(label(w, "lblVersion")->text(), QStringLiteral("Version 1.0 "));
        QVERIFY(!label(w, "lblDescription")->text().isEmpty());
        const QString site = label(w, "Label2")->text();
        QVERIFY(site.startsWith(QStringLiteral("Site: http")));
        QCOMPARE(label(w, "Label2")->cursor().shape(), Qt::PointingHandCursor);
        for (const char* name : {"lblVersion", "lblDescription", "Label2"}) {
            QVERIFY(label(w, name)->font().bold());
        }
        QCOMPARE(label(w, "Picture2")->pixmap().size(), QSize(64, 111));
        QCOMPARE(label(w, "Picture1")->pixmap().size(), QSize(321, 64));
    }

    void theLinkOpensTheSiteEachTimeAndTheBoxStays() {
        TestEnv env;
        env.registry->show(Window::About);
        frmAbout& w = env.registry->about();
        showActive(&w);
        QLabel* link = label(w, "Label2");
        const QString address = link->text().mid(6);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(env.shell.opened, QStringList({address, address}));
        QVERIFY(w.isVisible());
        QVERIFY(env.dialogs.shown.empty());
    }

    void enterEscAndOkHideTheSameBox_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("OK") << 0;
    }

    void enterEscAndOkHideTheSameBox() {
        QFETCH(int, key);
        TestEnv env;
        env.registry->show(Window::About);
        frmAbout& w = env.registry->about();
        showActive(&w);
        auto* ok = w.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
        if (key == 0) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            QTest::keyClick(w.windowHandle(), Qt::Key(key));
        }
        QVERIFY(!w.isVisible());
        env.registry->show(Window::About);
        QCOMPARE(&env.registry->about(), &w); // hidden, not unloaded
    }

    void theCloseBoxUnloadsTheBox() {
        TestEnv env;
        env.registry->show(Window::About);
        QWidget* first = env.registry->loaded(Window::About);
        QVERIFY(first != nullptr);
        first->close();
        QVERIFY(env.registry->loaded(Window::About) == nullptr);
        env.registry->show(Window::About);
        QVERIFY(env.registry->loaded(Window::About) != nullptr);
        QVERIFY(env.registry->loaded(Window::About)->isVisible());
    }
};

QTEST_MAIN(AboutTest)
#include "tst_about.moc"
