// The real message and input boxes behind the seam: the application's title when a box has
// none of its own, the icon and buttons asked for, the answer given back, and a box that fits
// a 1024x768 screen whatever its text.

#include "platform/Dialogs.h"
#include "platform/Listing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace hm52;
using namespace Qt::StringLiterals;

class SeamsTest : public QObject {
    Q_OBJECT

    // Hands the next modal box to `answer` once it shows.
    template <class Box> static void onNextBox(std::function<void(Box*)> answer) {
        QTimer::singleShot(0, [answer]() {
            if (auto* box = qobject_cast<Box*>(QApplication::activeModalWidget())) {
                answer(box);
            }
        });
    }

private Q_SLOTS:
    void messageBoxesShowTheirTitleIconAndButtonsAndGiveBackThePress() {
        // The button the seam gives back, and the box as shown: "title|text|icon|buttons".
        auto ask = [](QMessageBox::StandardButton press, Icon icon, Buttons buttons,
                      const QString& title) {
            QString shown;
            onNextBox<QMessageBox>([&shown, press](QMessageBox* box) {
                const char* icons[] = {"none", "information", "warning", "critical", "question"};
                QStringList pressable;
                for (QAbstractButton* b : box->buttons()) {
                    pressable << b->text().remove(u'&');
                }
                pressable.sort();
                shown = QStringList{box->windowTitle(), box->text(),
                                    QString::fromLatin1(icons[box->icon()]), pressable.join(u' ')}
                            .join(u'|');
                box->button(press)->click();
            });
            const Answer answer =
                QtDialogs().message(nullptr, u"QSO saved"_s, icon, buttons, title);
            return std::pair{answer, shown};
        };
        QCOMPARE(ask(QMessageBox::Ok, Icon::Information, Buttons::Ok, {}),
                 std::pair(Answer::Ok, u"HM52|QSO saved|information|OK"_s));
        QCOMPARE(ask(QMessageBox::No, Icon::None, Buttons::YesNo, u"warning"_s),
                 std::pair(Answer::No, u"warning|QSO saved|none|No Yes"_s));
        QCOMPARE(ask(QMessageBox::Cancel, Icon::Critical, Buttons::OkCancel, {}),
                 std::pair(Answer::Cancel, u"HM52|QSO saved|critical|Cancel OK"_s));
        QCOMPARE(ask(QMessageBox::Ok, Icon::Critical, Buttons::OkCancel, {}).first, Answer::Ok);
    }

    void anInputBoxGivesTheTypedTextAndEmptyTextWhenCancelled() {
        QtDialogs real;
        Dialogs& dialogs = real;
        // The text the seam gives back, and the box's title: "text|title".
        auto answer = [&dialogs](const QString& typed, bool accept) {
            QString title;
            onNextBox<QInputDialog>([&title, typed, accept](QInputDialog* box) {
                title = box->windowTitle();
                box->setTextValue(typed);
                accept ? box->accept() : box->reject();
            });
            return dialogs.input(nullptr, u"insert call:"_s) + u'|' + title;
        };
        QCOMPARE(answer(u"IK0'Q"_s, true), u"IK0'Q|HM52"_s);
        QCOMPARE(answer(u"typed then cancelled"_s, false), u"|HM52"_s);
    }

    // 5,000 names: listed as the program lists them (a few dozen, then how many more), or
    // given whole, the box stays on the screen with its OK button.
    void aBoxListingThousandsOfNamesFitsTheScreen_data() {
        QTest::addColumn<bool>("listed");
        QTest::addColumn<int>("lines");
        QTest::newRow("listed") << true << shownInBox + 3;
        QTest::newRow("given whole") << false << -1;
    }

    void aBoxListingThousandsOfNamesFitsTheScreen() {
        QFETCH(bool, listed);
        QFETCH(int, lines);
        QStringList names;
        for (int i = 0; i < 5000; ++i) {
            names << u"data-20240301-%1.mdb"_s.arg(i, 6, 10, QLatin1Char('0'));
        }
        const QString text = u"These files are not good copies:\n\n"_s +
                             (listed ? listedLines(names) : names.join(u'\n'));
        if (listed) {
            QCOMPARE(text.count(u'\n') + 1, lines);
            QVERIFY(text.endsWith(u"\nand 4980 more"_s));
        }
        QRect shown;
        QString shownText;
        onNextBox<QMessageBox>([&](QMessageBox* box) {
            shown = box->frameGeometry();
            shownText = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QtDialogs().message(nullptr, text, Icon::Exclamation, Buttons::Ok, {});
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
        QVERIFY2(QRect(0, 0, 1024, 768).contains(shown),
                 qPrintable(u"%1x%2"_s.arg(shown.width()).arg(shown.height())));
        QVERIFY(listed ? shownText == text : shownText.endsWith(u"\n..."_s));
    }
};

// The tests run on an offscreen screen of 1024x768 pixels.
int main(int argc, char** argv) {
    QTemporaryFile screens;
    if (!screens.open() ||
        screens.write(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 1024, )"
                      R"("height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") <
            0) {
        return 1;
    }
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    QApplication app(argc, argv);
    SeamsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_seams.moc"
