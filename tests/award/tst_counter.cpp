// The award counter: eighteen cells per mode, the award's figures beside them, and the
// recount that other windows call whether or not the counter is showing.

#include "award/frmAward.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>

using namespace hm52;
using namespace hm52::test;

namespace {

const char* const bandStems[6] = {"lblHF",  "lbl50MHz", "lblVHF",
                                  "lblUHF", "lblSHF",   "lblSatellite"};

// The eighteen cells, band by band, worked / confirmed / accredited.
QList<int> cells(QWidget& w) {
    QList<int> values;
    for (const char* stem : bandStems) {
        for (const char* state : {"w", "c", "a"}) {
            auto* label = w.findChild<QLabel*>(QString::fromLatin1(stem) + QLatin1String(state));
            if (label == nullptr) {
                qFatal("no cell %s%s", stem, state);
            }
            bool ok = false;
            values << label->text().toInt(&ok);
            if (!ok) {
                values.back() = -1;
            }
        }
    }
    return values;
}

Qso make(const QString& band, const QString& mode, const QString& qsl,
         const QString& locator = QStringLiteral("AB")) {
    Qso q;
    q.band = band;
    q.mode = mode;
    q.qsl = qsl;
    q.WWLocator = locator;
    return q;
}

// Chooses a mode the way the operator does: with the keyboard on the closed list.
void choose(QComboBox* combo, const QString& mode) {
    combo->setFocus();
    while (combo->currentText() != mode && combo->currentIndex() > 0) {
        QTest::keyClick(combo, Qt::Key_Up);
    }
    while (combo->currentText() != mode && combo->currentIndex() + 1 < combo->count()) {
        QTest::keyClick(combo, Qt::Key_Down);
    }
}

} // namespace

class CounterTest : public QObject {
    Q_OBJECT

private:
    static QComboBox* combo(QWidget& w) {
        return w.findChild<QComboBox*>(QStringLiteral("Combo1"));
    }

private Q_SLOTS:
    void anEmptyLogShowsZeroEverywhereForEveryMode() {
        TestEnv env;
        frmAward& w = env.registry->award();
        const QList<int> zeros(18, 0);
        for (const char* mode : {"MIXED", "SSB", "CW", "DIGITAL"}) {
            choose(combo(w), QString::fromLatin1(mode));
            QCOMPARE(combo(w)->currentText(), QString::fromLatin1(mode));
            QCOMPARE(cells(w), zeros);
        }
    }

    void eachQsoCountsInOneCellOfItsModeOnly() {
        TestEnv env;
        env.addQso(make(QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("w")));
        env.addQso(make(QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("w"),
                        QStringLiteral("AC")));
        env.addQso(make(QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c")));
        env.addQso(make(QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("a")));
        env.addQso(make(QStringLiteral("SAT"), QStringLiteral("MIXED"), QStringLiteral("a")));
        env.addQso(make(QStringLiteral("UHF"), QStringLiteral("MIXED"), QStringLiteral("c")));
        env.addQso(make(QStringLiteral("HF"), QStringLiteral("SSB"), QStringLiteral("w")));
        env.addQso(make(QStringLiteral("50 MHz"), QStringLiteral("CW"), QStringLiteral("c")));
        env.addQso(make(QStringLiteral("SHF"), QStringLiteral("DIGITAL"), QStringLiteral("a")));
        // A band that is none of the six is counted nowhere.
        env.addQso(make(QStringLiteral("40m"), QStringLiteral("MIXED"), QStringLiteral("c")));
        env.addQso(make(QStringLiteral("50MHz"), QStringLiteral("CW"), QStringLiteral("c")));

        frmAward& w = env.registry->award();
        QCOMPARE(combo(w)->currentText(), QStringLiteral("MIXED"));
        //                 HF       50 MHz   VHF      UHF      SHF      SAT
        QCOMPARE(cells(w), (QList<int>{2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}));
        choose(combo(w), QStringLiteral("SSB"));
        QCOMPARE(cells(w), (QList<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        choose(combo(w), QStringLiteral("CW"));
        QCOMPARE(cells(w), (QList<int>{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        choose(combo(w), QStringLiteral("DIGITAL"));
        QCOMPARE(cells(w), (QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
        // After a recount the shared slot holds the last cell's query.
        QCOMPARE(env.m.sharedRs->sql(),
                 QStringLiteral(" select count(*) as contatore from data where mode = 'DIGITAL' "
                                "and band='SAT' and qsl='a'"));
    }

    void choosingTheSameModeAgainRecounts() {
        TestEnv env;
        frmAward& w = env.registry->award();
        env.addQso(make(QStringLiteral("VHF"), QStringLiteral("MIXED"), QStringLiteral("c")));
        QCOMPARE(cells(w).at(7), 0); // not recounted yet
        Q_EMIT combo(w)->activated(combo(w)->currentIndex());
        QCOMPARE(cells(w).at(7), 1);
    }

    void accreditingMovesAUnitFromConfirmedToAccredited() {
        TestEnv env;
        const int n =
            env.addQso(make(QStringLiteral("UHF"), QStringLiteral("MIXED"), QStringLiteral("c")));
        env.addQso(make(QStringLiteral("UHF"), QStringLiteral("MIXED"), QStringLiteral("c"),
                        QStringLiteral("XX")));
        frmAward& w = env.registry->award();
        QCOMPARE(cells(w).mid(9, 3), (QList<int>{0, 2, 0}));
        env.m.logDb.execute(QStringLiteral("update data set qsl = 'a' where count = %1").arg(n));
        env.registry->conta();
        QCOMPARE(cells(w).mid(9, 3), (QList<int>{0, 1, 1}));
    }

    void contaLoadsTheCounterHiddenAndKeepsItCurrentWhileHidden() {
        TestEnv env;
        env.addQso(make(QStringLiteral("HF"), QStringLiteral("CW"), QStringLiteral("w")));
        QVERIFY(env.registry->loaded(Window::Award) == nullptr);
        env.registry->conta();
        auto* w = qobject_cast<frmAward*>(env.registry->loaded(Window::Award));
        QVERIFY(w != nullptr);
        QVERIFY(!w->isVisible());
        QCOMPARE(combo(*w)->currentText(), QStringLiteral("MIXED"));

        env.registry->show(Window::Award);
        choose(combo(*w), QStringLiteral("CW"));
        QCOMPARE(cells(*w).at(0), 1);
        w->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
        QVERIFY(!w->isVisible());
        env.addQso(make(QStringLiteral("HF"), QStringLiteral("CW"), QStringLiteral("w"),
                        QStringLiteral("AC")));
        env.registry->conta();
        env.registry->show(Window::Award);
        QCOMPARE(env.registry->loaded(Window::Award), w);
        QCOMPARE(combo(*w)->currentText(), QStringLiteral("CW"));
        QCOMPARE(cells(*w).at(0), 2);

        // The close box unloads it: the next showing chooses MIXED again.
        w->close();
        QVERIFY(env.registry->loaded(Window::Award) == nullptr);
        env.registry->show(Window::Award);
        QCOMPARE(combo(env.registry->award())->currentText(), QStringLiteral("MIXED"));
        QCOMPARE(cells(env.registry->award()).at(0), 0);
    }

    void everyHeadingShowsWholeOverItsColumnOfCounts() {
        TestEnv env;
        env.registry->show(Window::Award);
        frmAward& w = env.registry->award();
        auto* table = w.findChild<QGroupBox*>(QStringLiteral("Frame8"));
        // Where a label's text stands, in the table's coordinates.
        const auto shownText = [table](const QLabel* label) {
            const QSize size(label->fontMetrics().horizontalAdvance(label->text()),
                             label->fontMetrics().height());
            const QRect inLabel = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                                      size, label->contentsRect());
            return inLabel.translated(label->mapTo(table, QPoint(0, 0)));
        };
        const char* const headings[3] = {"Label2", "Label3", "Label1"};
        for (int c = 0; c < 3; ++c) {
            const QRect heading = shownText(w.findChild<QLabel*>(QString::fromLatin1(headings[c])));
            QVERIFY2(table->contentsRect().contains(heading), headings[c]);
            for (const char* stem : bandStems) {
                const QString name = QString::fromLatin1(stem) + QLatin1Char("wca"[c]);
                const QRect count = shownText(w.findChild<QLabel*>(name));
                QVERIFY2(heading.left() <= count.center().x() &&
                             count.center().x() <= heading.right(),
                         qPrintable(name));
            }
        }
    }

    void showsTheModesTheHeadingsAndTheAwardFigures() {
        TestEnv env;
        frmAward& w = env.registry->award();
        QCOMPARE(w.windowTitle(), QStringLiteral("Award Italian Rules"));
        QVERIFY(!combo(w)->isEditable());
        QStringList items;
        for (int i = 0; i < combo(w)->count(); ++i) {
            items << combo(w)->itemText(i);
        }
        QCOMPARE(items, QStringList({"MIXED", "SSB", "CW", "DIGITAL"}));
        const auto text = [&w](const char* name) {
            auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
            return label ? label->text() : QStringLiteral("<none>");
        };
        const auto title = [&w](const char* name) {
            auto* frame = w.findChild<QGroupBox*>(QString::fromLatin1(name));
            return frame ? frame->title() : QStringLiteral("<none>");
        };
        QCOMPARE(QStringList({text("Label2"), text("Label3"), text("Label1")}),
                 QStringList({"WORKED", "CONFIRMED", "ACCREDITATED"}));
        QCOMPARE(QStringList({title("Frame1"), title("Frame2"), title("Frame3"), title("Frame4"),
                              title("Frame5"), title("Frame6"), title("Frame7"), title("Frame9"),
                              title("Frame10")}),
                 QStringList({"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT", "mode",
                              "Base Award Request", "Endorsement"}));
        QCOMPARE(QStringList({text("Label4"), text("Label5"), text("Label6"), text("Label8"),
                              text("Label7"), text("Label9")}),
                 QStringList(
                     {"HF:...............................75", "50 MHz:.......................30",
                      "VHF:............................30", "UHF:............................20",
                      "SHF:............................10", "SAT:............................10"}));
        QCOMPARE(
            QStringList({text("Label15"), text("Label14"), text("Label13"), text("Label11"),
                         text("Label12"), text("Label10")}),
            QStringList(
                {"HF:...............................25", "50 MHz:.......................10",
                 "VHF:............................10", "UHF:..............................5",
                 "SHF:..............................5", "SAT:..............................5"}));
    }
};

QTEST_MAIN(CounterTest)
#include "tst_counter.moc"
