#pragma once

// Logs and expected printed lines for the request and printout tests. The expected lines are
// written here from the printed layouts, blank for blank, without the program's own code; the
// operations of a job (opSequence) give the font in force for each of them.

#include "platform/Printer.h"
#include "rules/Counts.h"
#include "support/TestEnv.h"

#include <QProcess>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace hm52::test {

inline const QString convertQuestion =
    u"Do you want to to convert the confirmed QSO in accredited QSO?"_s;
inline const QString sureQuestion = u"Are you sure? (check the print, is it ok?)"_s;
inline const QString operatorMissing =
    u"Please, insert your userData in menu Utility -> userData"_s;

inline QString sp(int n) {
    return QString(n, u' ');
}

// The text of a PDF file as pdftotext gives it back in 8-point fixed-pitch columns; pages
// are separated by form feeds.
inline QString pdfText(const QString& path) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel); // its complaints in the test log
    p.start(u"pdftotext"_s, {u"-fixed"_s, u"4.8"_s, path, u"-"_s});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A value left-aligned in a column, cut when longer.
inline QString col(const QString& value, int width) {
    return value.leftJustified(width, u' ', true);
}

// One QSO of a generated log, with what its listed entry shows.
struct LoggedQso {
    Qso qso;
    QString date; // as read back: dd/mm/yy
    QString time; // as printed: hh.mm
};

// Adds `n` QSOs of a band and mode in a QSL state, with the sub-squares `first` .. first+n-1
// in a scrambled order (so that the order of numbers is not the order of sub-squares).
// Returns them sorted by sub-square.
inline std::vector<LoggedQso> addQsos(TestEnv& env, int n, const QString& band, const QString& mode,
                                      const QString& qsl, int first = 0) {
    std::vector<LoggedQso> added;
    Transaction batch(env.m.logDb); // one write to the file instead of one per QSO
    for (int k = 0; k < n; ++k) {
        const int i = (k * 101) % n; // 101 is prime: a permutation for any n below it
        const QDate date(2004, 1 + i % 12, 1 + i % 28);
        const bool morning = i % 2 == 0;
        LoggedQso q{{u"I%1QSO"_s.arg(first + i), rules::squareLetters(first + i),
                     u"PLACE %1"_s.arg(first + i), i % 3 == 0 ? u"VLT"_s : u"BD"_s, mode, band,
                     date.toString(u"d/M/yy"_s), morning ? u"09:05"_s : u"21:30"_s, qsl},
                    date.toString(u"dd/MM/yy"_s),
                    morning ? u"09.05"_s : u"21.30"_s};
        env.addQso(q.qso);
        added.push_back(q);
    }
    batch.commit();
    std::ranges::sort(added, {}, [](const LoggedQso& q) { return q.qso.WWLocator; });
    return added;
}

// A listed QSO of a request form.
inline QString entry(int indent, const LoggedQso& q) {
    const QString bar = u" | "_s;
    return sp(indent) + col(q.qso.call, 12) + bar + col(u"HM52"_s + q.qso.WWLocator, 6) + bar +
           col(q.qso.place, 29) + bar + col(q.qso.prov, 3) + bar + col(q.date, 10) + bar +
           col(q.time, 5);
}

// A job's operations in order with each run of printed lines as one entry: "print 3" for
// three one-text lines, "print3 2" for two lines of three texts. With the job's lines, they
// give the font in force for each line.
inline QStringList opSequence(const RecordedJob& job) {
    QStringList ops;
    for (const QString& op : job.ops) {
        if (op.startsWith(u"print"_s) && !ops.isEmpty() && ops.back().section(u' ', 0, 0) == op) {
            ops.back() = op + u' ' + QString::number(ops.back().section(u' ', 1).toInt() + 1);
        } else {
            ops << (op.startsWith(u"print"_s) ? op + u" 1"_s : op);
        }
    }
    return ops;
}

// A request window (base award or endorsement) on a fresh log, counting the refreshes of the
// award counter.
struct Request {
    TestEnv env;
    QWidget* w;
    int conta = 0;
    explicit Request(Window which) : w(&env.registry->load(which)) {
        QObject::connect(env.registry.get(), &WindowRegistry::counted, [this]() { ++conta; });
    }
    void choose(const QString& band, const QString& mode) {
        child<QComboBox>(w, "comboBand")->setCurrentText(band);
        child<QComboBox>(w, "comboMode")->setCurrentText(mode);
    }
    // Clicks Print, answering the questions with `answers`; the texts of the boxes shown.
    QStringList print(std::initializer_list<Answer> answers = {}) {
        env.dialogs.answer(answers);
        const auto before = static_cast<qsizetype>(env.dialogs.shown.size());
        click(w, "cmdPrint");
        return env.dialogs.texts().mid(before);
    }
};

} // namespace hm52::test
