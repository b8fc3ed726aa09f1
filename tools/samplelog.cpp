// Writes a sample log of realistic QSOs for trying the program and for the benchmarks.
// An existing file is never replaced.
//
// usage: samplelog [-n COUNT] [-p places.mdb] [-s SEED] data.mdb
//   COUNT   number of QSOs (default 100000)
//   places  the gazetteer to draw sub-squares, places and provinces from (default: the
//           places.mdb beside data.mdb, else the one of the program folder above this tool,
//           else that of an installed program: <prefix>/share/hm52 beside this tool's
//           prefix, then /usr/share/hm52)
//   SEED    the same seed gives the same log (default 52)

#include "SampleLog.h"

#include "platform/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

int usage() {
    std::fprintf(stderr, "usage: samplelog [-n COUNT] [-p places.mdb] [-s SEED] data.mdb\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    hm52::sample::Options options;
    QString places;
    QString log;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (arg == QLatin1String("-n") && hasValue) {
            options.qsos = args.at(++i).toInt(&ok);
            ok = ok && options.qsos >= 0;
        } else if (arg == QLatin1String("-p") && hasValue) {
            places = args.at(++i);
        } else if (arg == QLatin1String("-s") && hasValue) {
            options.seed = args.at(++i).toUInt(&ok);
        } else if (arg.startsWith(u'-') || !log.isEmpty()) {
            ok = false;
        } else {
            log = arg;
        }
        if (!ok) {
            return usage();
        }
    }
    if (log.isEmpty()) {
        return usage();
    }
    if (places.isEmpty()) {
        places = hm52::sample::findGazetteer(log, QCoreApplication::applicationDirPath());
    }
    if (places.isEmpty()) {
        std::fprintf(stderr,
                     "samplelog: no gazetteer places.mdb beside %s, beside this tool or "
                     "in an installed program (/usr/share/hm52); give one with -p\n",
                     qPrintable(log));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        hm52::sample::writeLog(log, places, options);
    } catch (const hm52::DbError& e) {
        std::fprintf(stderr, "samplelog: %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("samplelog: %d QSOs written to %s in %.1f s (places from %s)\n", options.qsos,
                qPrintable(log), static_cast<double>(timer.elapsed()) / 1000.0, qPrintable(places));
    return 0;
}
