// The real message and input boxes behind the seam: the application's title when a box has
// none of its own, the icon and buttons asked for, and the answer given back.

#include "platform/Dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
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
};

QTEST_MAIN(SeamsTest)
#include "tst_seams.moc"
