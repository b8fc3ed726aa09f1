// The real message and input boxes behind the seam: the application's title when a box has
// none of its own, the icon and buttons asked for, the buttons of Enter and Esc, and the
// answer given back; a box that fits a 1024x768 screen whatever its text. The real shell: a
// document that is not there, and no opener.

#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Shell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
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
            QtDialogs real;
            const Answer answer =
                static_cast<Dialogs&>(real).message(nullptr, u"QSO saved"_s, icon, buttons, title);
            return std::pair{answer, shown};
        };
        QCOMPARE(ask(QMessageBox::Ok, Icon::Information, Buttons::Ok, {}),
                 std::pair(Answer::Ok, u"HM52|QSO saved|information|OK"_s));
        QCOMPARE(ask(QMessageBox::No, Icon::None, Buttons::YesNo, u"warning"_s),
                 std::pair(Answer::No, u"warning|QSO saved|none|No Yes"_s));
    }

    // A question that says nothing has the usual keys (the first button on Enter); one whose
    // first answer changes the log has the safe answer on Enter (and on Esc, as usual).
    void enterAndEscPressTheButtonsTheQuestionNames_data() {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<bool>("safe");
        QTest::addColumn<int>("key");
        QTest::addColumn<Answer>("answer");
        const int enter = Qt::Key_Return;
        const int esc = Qt::Key_Escape;
        QTest::newRow("yes/no, Enter") << Buttons::YesNo << false << enter << Answer::Yes;
        QTest::newRow("yes/no, Esc") << Buttons::YesNo << false << esc << Answer::No;
        QTest::newRow("yes/no safe, Enter") << Buttons::YesNo << true << enter << Answer::No;
        QTest::newRow("ok/cancel, Esc") << Buttons::OkCancel << false << esc << Answer::Cancel;
        QTest::newRow("ok/cancel safe, Enter")
            << Buttons::OkCancel << true << enter << Answer::Cancel;
    }

    void enterAndEscPressTheButtonsTheQuestionNames() {
        QFETCH(Buttons, buttons);
        QFETCH(bool, safe);
        QFETCH(int, key);
        QFETCH(Answer, answer);
        onNextBox<QMessageBox>(
            [key](QMessageBox* box) { QTest::keyClick(box, static_cast<Qt::Key>(key)); });
        QtDialogs real;
        Dialogs& dialogs = real;
        QCOMPARE(dialogs.message(nullptr, u"delete?"_s, Icon::None, buttons, {},
                                 safe ? std::optional(safeKeys(buttons)) : std::nullopt),
                 answer);
    }

    void theShellTellsADocumentThatIsNotThereAndAMissingOpener() {
        // The offscreen platform has no opener of documents or web addresses.
        QTemporaryDir dir;
        const QString help = dir.filePath(u"index.htm"_s);
        QtShell shell;
        QCOMPARE(shell.open(help), Opening::Missing);
        QFile file(help);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(shell.open(help), Opening::NoOpener);
    }

    // A name typed without an extension takes the filter's first one.
    void aFileSavedUnderANameWithoutExtensionTakesTheFilters() {
        QTemporaryDir dir;
        onNextBox<QFileDialog>([&dir](QFileDialog* box) {
            box->selectFile(dir.filePath(u"form"_s));
            QMetaObject::invokeMethod(box, "accept");
        });
        QtFileDialogs real;
        QCOMPARE(real.savePath(nullptr, u"Save as PDF"_s, dir.filePath(u"suggested.pdf"_s),
                               u"PDF files (*.pdf);;All files (*)"_s),
                 dir.filePath(u"form.pdf"_s));
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

    // 5,000 names given whole: the box stays on the screen with its OK button. (The program
    // lists a few dozen, then how many more: see tst_backup.)
    void aBoxListingThousandsOfNamesFitsTheScreen() {
        QStringList names;
        for (int i = 0; i < 5000; ++i) {
            names << u"data-20240301-%1.mdb"_s.arg(i, 6, 10, QLatin1Char('0'));
        }
        const QString text = u"These files are not good copies:\n\n"_s + names.join(u'\n');
        QRect shown;
        QString shownText;
        onNextBox<QMessageBox>([&](QMessageBox* box) {
            shown = box->frameGeometry();
            shownText = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QtDialogs().message(nullptr, text, Icon::Exclamation, Buttons::Ok, {},
                            usualKeys(Buttons::Ok));
        // The screen the tests are run on (see tests/CMakeLists.txt).
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
        QVERIFY2(QRect(0, 0, 1024, 768).contains(shown),
                 qPrintable(u"%1x%2"_s.arg(shown.width()).arg(shown.height())));
        QVERIFY(shownText.endsWith(u"\n..."_s));
    }
};

QTEST_MAIN(SeamsTest)
#include "tst_seams.moc"
