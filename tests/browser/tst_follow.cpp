// An open browser over a large log follows each change of the log line by line, and its list
// is always the one a full listing gives, in every order and with many equal keys.

#include "browser/frmUtility.h"
#include "support/TestEnv.h"

#include <random>

using namespace hm52;
using namespace hm52::test;

class FollowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theListFollowsEveryChangeExactlyInEveryOrder_data() {
        QTest::addColumn<QString>("options");
        for (const char* options :
             {"optCall optBand2", "optCall optMode2", "optPlace optBand2", "optPlace optMode2",
              "optWWLocator optBand2", "optWWLocator optMode2", "optBand"}) {
            QTest::newRow(options) << QString::fromLatin1(options);
        }
    }

    void theListFollowsEveryChangeExactlyInEveryOrder() {
        QFETCH(QString, options);
        TestEnv env;
        std::mt19937 random(7);
        auto pick = [&random](const QStringList& list) {
            return list.at(static_cast<qsizetype>(random() % list.size()));
        };
        // Many equal keys: few calls (one in lower case), places (one empty), bands and modes.
        auto someQso = [&]() {
            return Qso{.call = pick({"I1ABC", "i1abc", "IK0XYZ", "I2Z", "I3QQQ"}),
                       .WWLocator = pick({"AB", "AC", "XX"}),
                       .place = pick({"ALFA", "bravo", "CHARLIE", ""}),
                       .mode = pick({"SSB", "CW"}),
                       .band = pick({"HF", "VHF", "UHF"}),
                       .qsl = u"w"_s};
        };
        {
            Transaction t(env.m.logDb);
            for (int i = 0; i < 400; ++i) {
                env.addQso(someQso());
            }
            t.commit();
        }
        frmUtility& b = env.registry->utility();
        showActive(&b);
        for (const QString& option : options.split(u' ')) {
            click(&b, qPrintable(option));
        }
        const QString sql = env.m.sharedRs->sql();

        int followed = 0;
        for (int step = 0; step < 60; ++step) {
            const qint64 highest =
                env.m.logDb.scalar(u"select max(count) from data"_s).toLongLong();
            const int key = static_cast<int>(random() % highest) + 1;
            const Qso q = someQso();
            switch (random() % 3) {
            case 0:
                env.addQso(q);
                break;
            case 1:
                env.m.logDb.execute(u"delete from data where count = %1"_s.arg(key));
                break;
            default:
                env.m.logDb.execute(
                    u"update data set call = '%1', band = '%2', mode = '%3', "
                    u"place = '%4' where count = %5"_s.arg(q.call, q.band, q.mode, q.place)
                        .arg(key));
            }
            env.m.openShared(u"select 1 as untouched"_s);
            b.showAny();
            followed += env.m.sharedRs->sql() == u"select 1 as untouched"_s ? 1 : 0;
            // The keys a full listing of the browser's query gives.
            std::vector<qint32> listed;
            for (Recordset rs(env.m.logDb, sql, Recordset::keysOnly); !rs.eof(); rs.moveNext()) {
                listed.push_back(static_cast<qint32>(rs.rowid()));
            }
            const auto shown = b.lineKeys();
            QCOMPARE(std::vector<qint32>(shown.begin(), shown.begin() + b.lineCount()), listed);
            QCOMPARE(shown.size(), size_t(env.count()) + 1);
        }
        QCOMPARE(followed, 60); // every change was followed, not listed again
        // A line shows its QSO as it is now.
        QCOMPARE(
            b.lineText(0).left(11).trimmed(),
            env.m.logDb.scalar(u"select call from data where count = %1"_s.arg(b.lineKeys()[0]))
                .toString()
                .left(11));
    }
};

QTEST_MAIN(FollowTest)
#include "tst_follow.moc"
