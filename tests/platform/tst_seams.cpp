// The real message and input boxes behind the seam: the application's title when a box has
// none of its own, the icon and buttons asked for, and the answer given back.

#include "platform/Dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace hm52;
using namespace Qt::StringLiterals;

class SeamsTest : public QObject {
    Q_OBJECT

    // Answers the next modal box: records what it showed, then presses a button or types.
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    };

    static void answerNextBox(Seen* seen, QMessageBox::StandardButton press) {
        QTimer::singleShot(0, [seen, press]() {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            for (QAbstractButton* b : box->buttons()) {
                seen->buttons << b->text().remove(u'&');
            }
            seen->buttons.sort();
            box->button(press)->click();
        });
    }

private Q_SLOTS:
    void messageBoxesShowTheirTitleIconAndButtonsAndGiveBackThePress() {
        QtDialogs real;
        Dialogs& dialogs = real;
        Seen seen;
        // A box without a title shows the application's title.
        answerNextBox(&seen, QMessageBox::Ok);
        QCOMPARE(dialogs.message(nullptr, "QSO saved", Icon::Information), Answer::Ok);
        QCOMPARE(seen.title + u'|' + seen.text, u"HM52|QSO saved"_s);
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.buttons, QStringList{"OK"});

        seen = {};
        answerNextBox(&seen, QMessageBox::No);
        QCOMPARE(dialogs.message(nullptr, "replace?", Icon::None, Buttons::YesNo, "warning"),
                 Answer::No);
        QCOMPARE(seen.title, u"warning"_s);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.buttons, QStringList({"No", "Yes"}));

        for (const auto press : {QMessageBox::Cancel, QMessageBox::Ok}) {
            seen = {};
            answerNextBox(&seen, press);
            QCOMPARE(dialogs.message(nullptr, "delete?", Icon::Critical, Buttons::OkCancel),
                     press == QMessageBox::Ok ? Answer::Ok : Answer::Cancel);
            QCOMPARE(seen.icon, QMessageBox::Critical);
            QCOMPARE(seen.buttons, QStringList({"Cancel", "OK"}));
        }
    }

    void anInputBoxGivesTheTypedTextAndEmptyTextWhenCancelled() {
        QtDialogs real;
        Dialogs& dialogs = real;
        QString title;
        auto answer = [&title](const QString& typed, bool accept) {
            QTimer::singleShot(0, [&title, typed, accept]() {
                auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                if (box == nullptr) {
                    return;
                }
                title = box->windowTitle();
                box->setTextValue(typed);
                if (accept) {
                    box->accept();
                } else {
                    box->reject();
                }
            });
        };
        answer("IK0'Q", true);
        QCOMPARE(dialogs.input(nullptr, "insert call:"), u"IK0'Q"_s);
        QCOMPARE(title, u"HM52"_s);
        answer("typed then cancelled", false);
        QCOMPARE(dialogs.input(nullptr, "insert call:"), QString());
    }
};

QTEST_MAIN(SeamsTest)
#include "tst_seams.moc"
