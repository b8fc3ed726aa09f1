#pragma once

// Logs and expected printed lines for the request and printout tests. The expected lines are
// written here from the printed layouts, blank for blank, without the program's own code.

#include "platform/Printer.h"
#include "support/TestEnv.h"

#include <QString>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace hm52::test {

// A printed line with the font in force, as a test expects it.
struct Expected {
    QString text;
    QString font;
    double size;
    bool bold;
};

inline const QString TNR = QStringLiteral("Times New Roman");
inline const QString CN = QStringLiteral("Courier New");

inline QString sp(int n) {
    return QString(n, u' ');
}

// A value left-aligned in a column, cut when longer.
inline QString col(const QString& value, int width) {
    return value.leftJustified(width, u' ', true);
}

// The n-th sub-square's two letters: AA, AB, ... AZ, BA, ...
inline QString letters(int n) {
    return QString(QChar(u'A' + n / 26)) + QChar(u'A' + n % 26);
}

// One QSO of a generated log, with what its listed entry shows.
struct LoggedQso {
    int count;
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
        LoggedQso q;
        q.qso.WWLocator = letters(first + i);
        q.qso.call = QStringLiteral("I%1QSO").arg(first + i);
        q.qso.place = QStringLiteral("PLACE %1").arg(first + i);
        q.qso.prov = i % 3 == 0 ? QStringLiteral("VLT") : QStringLiteral("BD");
        q.qso.band = band;
        q.qso.mode = mode;
        q.qso.qsl = qsl;
        const int day = 1 + i % 28;
        q.qso.date = QStringLiteral("%1/%2/04").arg(day).arg(1 + i % 12);
        q.date = QStringLiteral("%1/%2/04")
                     .arg(day, 2, 10, QChar(u'0'))
                     .arg(1 + i % 12, 2, 10, QChar(u'0'));
        const bool morning = i % 2 == 0;
        q.qso.time = morning ? QStringLiteral("09:05") : QStringLiteral("21:30");
        q.time = morning ? QStringLiteral("09.05") : QStringLiteral("21.30");
        q.count = env.addQso(q.qso);
        added.push_back(q);
    }
    batch.commit();
    std::sort(added.begin(), added.end(), [](const LoggedQso& a, const LoggedQso& b) {
        return a.qso.WWLocator < b.qso.WWLocator;
    });
    return added;
}

// A listed QSO of a request form.
inline QString entry(int indent, const LoggedQso& q) {
    return sp(indent) + col(q.qso.call, 12) + QStringLiteral(" | ") +
           col(QStringLiteral("HM52") + q.qso.WWLocator, 6) + QStringLiteral(" | ") +
           col(q.qso.place, 29) + QStringLiteral(" | ") + col(q.qso.prov, 3) +
           QStringLiteral(" | ") + col(q.date, 10) + QStringLiteral(" | ") + col(q.time, 5);
}

// The lines from the title to the list, common to both forms but for the title and the
// claim (the operator is TestEnv::setOperator's).
inline std::vector<Expected> formHead(const QString& title, const QString& claim1,
                                      const QString& claim2, qint64 confirmedAndAccredited,
                                      const QString& call = QStringLiteral("IK0XYZ")) {
    const QString m = sp(15);
    return {
        {QStringLiteral(" "), TNR, 12, true},
        {QStringLiteral(" "), TNR, 12, true},
        {title, TNR, 12, true},
        {QStringLiteral(" "), TNR, 12, false},
        {QStringLiteral(" "), TNR, 12, false},
        {m + QStringLiteral("Alla Sezione C.R.V. di Valdoria "), TNR, 12, false},
        {m + QStringLiteral("P.O.Box 31"), TNR, 12, false},
        {m + QStringLiteral("40400 VALDORIA"), TNR, 12, false},
        {QStringLiteral(" "), TNR, 12, false},
        {QStringLiteral(" "), TNR, 12, false},
        {m + QStringLiteral("Il sottoscritto MARIO ROSSI con nominativo ") + call, TNR, 12, false},
        {m + QStringLiteral("VIA ROMA 1"), TNR, 12, false},
        {m + QStringLiteral("40400 VALDORIA VD"), TNR, 12, false},
        {m + QStringLiteral("ITALIA"), TNR, 12, false},
        {m + QStringLiteral("MARIO@EXAMPLE.ORG"), TNR, 12, false},
        {QStringLiteral(" "), TNR, 12, false},
        {claim1, TNR, 12, false},
        {claim2, TNR, 12, false},
        {QStringLiteral(" "), TNR, 12, false},
        {m + QStringLiteral("Alla data attuale i WWLocator confermati sono: ") +
             QString::number(confirmedAndAccredited),
         TNR, 12, false},
        {sp(6), TNR, 12, false},
    };
}

// Compares every printed line of a job, its text and the font in force.
inline bool sameLines(const RecordedJob& job, const std::vector<Expected>& expected) {
    bool same = true;
    const size_t n = std::max(job.lines.size(), expected.size());
    for (size_t i = 0; i < n; ++i) {
        if (i >= job.lines.size() || i >= expected.size()) {
            qWarning("line %zu: %s", i + 1, i >= job.lines.size() ? "missing" : "not expected");
            same = false;
            break;
        }
        const PrintedLine& got = job.lines[i];
        const Expected& want = expected[i];
        if (got.text != want.text || got.fontName != want.font || got.fontSize != want.size ||
            got.bold != want.bold) {
            qWarning("line %zu:\n got  [%s] %s %g %s\n want [%s] %s %g %s", i + 1,
                     qPrintable(got.text), qPrintable(got.fontName), got.fontSize,
                     got.bold ? "bold" : "", qPrintable(want.text), qPrintable(want.font),
                     want.size, want.bold ? "bold" : "");
            same = false;
        }
    }
    return same;
}

// A job's operations in order, each run of printed lines as one entry: "name Courier New",
// "size 8", "bold on", "print 3" (three one-item lines), "print3 2" (two lines printed as
// three items), "end".
inline QStringList opSequence(const RecordedJob& job) {
    QStringList ops;
    auto printed = [&ops](const QString& kind) {
        if (!ops.isEmpty() && ops.back().startsWith(kind + u' ')) {
            const int n = ops.back().mid(kind.size() + 1).toInt();
            ops.back() = kind + u' ' + QString::number(n + 1);
        } else {
            ops << kind + QStringLiteral(" 1");
        }
    };
    for (const PrinterOp& op : job.ops) {
        switch (op.kind) {
        case PrinterOp::FontName:
            ops << QStringLiteral("name ") + op.texts.value(0);
            break;
        case PrinterOp::FontSize:
            ops << QStringLiteral("size ") + QString::number(op.size);
            break;
        case PrinterOp::Bold:
            ops << (op.on ? QStringLiteral("bold on") : QStringLiteral("bold off"));
            break;
        case PrinterOp::PrintOne:
            printed(QStringLiteral("print"));
            break;
        case PrinterOp::PrintThree:
            printed(QStringLiteral("print3"));
            break;
        case PrinterOp::EndDoc:
            ops << QStringLiteral("end");
            break;
        }
    }
    return ops;
}

// The operations of a request form that lists `listed` QSOs and closes with `closing` lines.
inline QStringList requestFormOps(int listed, int closing) {
    return {QStringLiteral("name Times New Roman"),
            QStringLiteral("size 12"),
            QStringLiteral("bold on"),
            QStringLiteral("print 3"),
            QStringLiteral("bold off"),
            QStringLiteral("print 18"),
            QStringLiteral("size 8"),
            QStringLiteral("name Courier New"),
            QStringLiteral("print %1").arg(listed),
            QStringLiteral("name Times New Roman"),
            QStringLiteral("print 1"),
            QStringLiteral("size 12"),
            QStringLiteral("print %1").arg(closing),
            QStringLiteral("end")};
}

// A request window as a user sees it: each list below its frame's caption and inside the
// frame, the buttons below the frames, nothing overlapping, everything inside the window.
inline bool controlsStandClear(QWidget* window) {
    bool clear = true;
    std::vector<QWidget*> placed;
    for (const char* name : {"Frame7", "Frame8", "cmdPrint", "cmdExit"}) {
        placed.push_back(window->findChild<QWidget*>(QLatin1String(name)));
    }
    for (const char* name : {"comboMode", "comboBand"}) {
        auto* combo = window->findChild<QWidget*>(QLatin1String(name));
        if (!combo->parentWidget()->contentsRect().contains(combo->geometry())) {
            qWarning("%s stands outside its frame's inside", name);
            clear = false;
        }
    }
    for (size_t i = 0; i < placed.size(); ++i) {
        if (!window->rect().contains(placed[i]->geometry())) {
            qWarning("%s goes past the window", qPrintable(placed[i]->objectName()));
            clear = false;
        }
        for (size_t j = i + 1; j < placed.size(); ++j) {
            if (placed[i]->geometry().intersects(placed[j]->geometry())) {
                qWarning("%s overlaps %s", qPrintable(placed[i]->objectName()),
                         qPrintable(placed[j]->objectName()));
                clear = false;
            }
        }
    }
    return clear;
}

// Counts the refreshes of the award counter.
struct ContaCalls {
    int calls = 0;
    explicit ContaCalls(WindowRegistry& registry) {
        registry.onLogChanged([this]() { ++calls; });
    }
};

} // namespace hm52::test
