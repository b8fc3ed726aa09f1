// Which QSO of a sub-square, band and mode stands: the one rule that the QSO windows and the
// importer share, over what the log holds of the group and the QSOs that would join it.

#include "rules/Rules.h"
#include "storage/Codes.h"
#include "support/LogFixture.h"

using namespace hm52;
using namespace hm52::test;
using rules::Conflict;

namespace {

// A newcomer written as its state, then the minute it was made (none: unknown), then '*'
// when it comes from a log of this program's own: "c10", "a", "w*".
rules::Newcomer newcomer(const QString& word) {
    const QString minute = word.mid(1).remove(u'*');
    return {word.left(1), minute.isEmpty() ? -1 : minute.toLongLong() * 60, word.endsWith(u'*')};
}

// A verdict as the rows write it: "-" comes in; "C@2" the log's confirmed QSO 2 keeps it out;
// "A#0" the first newcomer, accredited, does.
QString shown(const rules::Verdict& v, qint64 logStanding) {
    if (v.conflict == Conflict::None) {
        return u"-"_s;
    }
    return (v.conflict == Conflict::AccreditedStands ? u"A"_s : u"C"_s) +
           (v.standing < 0 ? u"@%1"_s.arg(logStanding) : u"#%1"_s.arg(v.standing));
}

} // namespace

class StandingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneQsoOfAGroupStands_data() {
        QTest::addColumn<QString>("logged");    // the states of the group's QSOs, numbered 1...
        QTest::addColumn<QString>("newcomers"); // as newcomer() reads them
        QTest::addColumn<QString>("verdicts");  // one for each newcomer, as shown() writes them
        const auto row = [](const char* name, const char* logged, const char* newcomers,
                            const char* verdicts) {
            QTest::newRow(name) << QString::fromLatin1(logged) << QString::fromLatin1(newcomers)
                                << QString::fromLatin1(verdicts);
        };
        // One new QSO, as a window submits it (the windows' queries: tst_rules).
        row("worked ones, confirmed", "w w w", "c", "-");
        row("a confirmed one, worked", "c", "w", "-");
        row("a confirmed one, confirmed", "w c", "c", "C@2");
        row("one written in upper case by another program", "C", "c", "C@1");
        row("a confirmed one, accredited", "c", "a", "C@1");
        row("an accredited one, worked", "w a", "w", "A@2");
        row("several confirmed, the first stands", "w c c", "c", "C@2");
        row("an accredited one after a confirmed one", "c a", "c", "A@2");
        // The records of a file, as the importer weighs them.
        row("incoming against a stored accredited", "w a", "c10 a5 w w*", "A@2 A@2 A@2 A@2");
        row("the oldest incoming confirmed stands", "w", "c20 c10 c30", "C#1 - C#1");
        row("an unknown time comes last", "", "c c10", "C#1 -");
        row("accredited first, then the oldest", "", "c10 a30 c5 a20", "A#3 A#3 A#3 -");
        row("worked beside an incoming accredited", "", "w a", "A#1 -");
        row("worked of the same log beside its accredited", "", "a* w* w", "- - A#0");
        row("incoming refused by the log keep no other out", "c", "c w", "C@1 -");
    }

    void oneQsoOfAGroupStands() {
        QFETCH(QString, logged);
        QFETCH(QString, newcomers);
        QFETCH(QString, verdicts);
        LogEnv env;
        // The group, and beside it QSOs of other groups that must not count.
        for (const QString& qsl : logged.split(u' ', Qt::SkipEmptyParts)) {
            env.addQso({.WWLocator = "AB", .mode = "SSB", .band = "VHF", .qsl = qsl});
        }
        env.addQso({.WWLocator = "AC", .mode = "SSB", .band = "VHF", .qsl = codes::accredited});
        env.addQso({.WWLocator = "AB", .mode = "SSB", .band = "UHF", .qsl = codes::accredited});
        env.addQso({.WWLocator = "AB", .mode = "CW", .band = "VHF", .qsl = codes::accredited});

        // The log's groups, as the importer loads them, against the newcomers.
        rules::Groups groups;
        groups.load(env.m);
        const rules::Group& group = groups.of(u"ab"_s, u"VHF"_s, u"SSB"_s);
        std::vector<rules::Newcomer> list;
        std::ranges::transform(newcomers.split(u' '), std::back_inserter(list), newcomer);
        QStringList got;
        std::ranges::transform(
            rules::whoStands(group, list), std::back_inserter(got),
            [&group](const rules::Verdict& v) { return shown(v, group.standing); });
        QCOMPARE(got.join(u' '), verdicts);
    }
};

QTEST_MAIN(StandingTest)
#include "tst_standing.moc"
