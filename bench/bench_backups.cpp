// Measures the start with a full backup folder: twenty copies of a large log in Backup/, made
// on earlier days. Each start runs in a process of its own, as the operator's does, so no
// comparison of an earlier start is remembered: the first start of a day (the day's backup,
// then the rotation, which compares the fingerprints of the twenty copies that stay), a later
// start that day (the newest copy and two more compared), the Restore Backup window's list
// then, and a start after the folder's memory of its verdicts was lost (every copy checked).
//
// usage: hm52bench_backups [-n QSOS] [-p places.mdb]
// Runs offscreen; needs some 21 times the log's size on the temporary folder's disk.

#include "SampleLog.h"
#include "app/Program.h"
#include "app/principale.h"
#include "backup/Backup.h"
#include "platform/Database.h"
#include "support/Recording.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

using hm52::Program;

double seconds(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

// One start of the program on `folder`, in this process: prints the time to the main window
// shown, to the end of the work behind it, and of listing the backups as the Restore Backup
// window does.
int startOnce(int argc, char** argv, const QString& folder) {
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    hm52::RecordingDialogs dialogs;
    hm52::RecordingShell shell;
    hm52::RecordingPrinters printers;
    Program program(folder, dialogs, shell, printers.factory(), []() {});
    if (!program.start()) {
        std::fprintf(stderr, "hm52bench_backups: %s\n", qPrintable(dialogs.texts().join(u'\n')));
        return 1;
    }
    program.mainWindow().show();
    QCoreApplication::processEvents();
    const double shown = seconds(timer);
    program.finishStartWork();
    const double behind = seconds(timer);
    QElapsedTimer listing;
    listing.start();
    const auto copies = hm52::backup::backupsIn(
        hm52::backup::folderFor(QDir(folder).filePath(QStringLiteral("data.mdb"))));
    int good = 0;
    for (const auto& c : copies) {
        good += c.good ? 1 : 0;
    }
    std::printf("window shown %6.3f s, work behind it ended %7.2f s; Restore Backup's list "
                "%6.2f s (%d good of %d)\n",
                shown, behind, seconds(listing), good, static_cast<int>(copies.size()));
    return dialogs.texts().isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) {
        return startOnce(argc - 2, argv, QString::fromLocal8Bit(argv[2]));
    }
    int qsos = 1000000;
    QString places = QStringLiteral(HM52_BUILD_DIR "/places.mdb");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc) {
            qsos = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "-p") == 0 && i + 1 < argc) {
            places = QString::fromLocal8Bit(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: hm52bench_backups [-n QSOS] [-p places.mdb]\n");
            return 2;
        }
    }
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("data.mdb"));
    if (!dir.isValid() || !QFile::copy(places, dir.filePath(QStringLiteral("places.mdb")))) {
        std::fprintf(stderr, "hm52bench_backups: no folder, or no gazetteer at %s\n",
                     qPrintable(places));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        hm52::sample::Options options;
        options.qsos = qsos;
        hm52::sample::writeLog(log, dir.filePath(QStringLiteral("places.mdb")), options);
        hm52::Database db;
        db.open(log, hm52::OpenMode::ReadOnly);
        const QDateTime today = QDateTime::currentDateTime();
        for (int day = hm52::backup::kept; day > 0; --day) {
            hm52::backup::makeBackup(db, today.addDays(-day));
        }
    } catch (const hm52::Failure& e) {
        std::fprintf(stderr, "hm52bench_backups: %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("A log of %d QSOs (%.0f MB) and %d copies of it in Backup/, written in %.0f s\n",
                qsos, static_cast<double>(QFileInfo(log).size()) / 1e6, hm52::backup::kept,
                seconds(timer));

    const auto start = [&](const char* what) {
        std::printf("  %-46s ", what);
        std::fflush(stdout);
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--start"), dir.path()});
        return run.waitForFinished(-1) && run.exitCode() == 0;
    };
    bool ok = start("first start of the day:");
    ok = start("a later start that day:") && ok;
    QFile::remove(QDir(hm52::backup::folderFor(log)).filePath(QStringLiteral(".hm52-checked")));
    ok = start("a later start, the verdicts' memory lost:") && ok;
    return ok ? 0 : 1;
}
