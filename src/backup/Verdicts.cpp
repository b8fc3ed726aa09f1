#include "backup/Verdicts.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <xxhash.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace hm52::backup::detail {

namespace {

const QString verdictsName = QStringLiteral(".hm52-checked");
const QString header = QStringLiteral("hm52-backup-verdicts 2");

// The copies whose fingerprint this run has compared, with the file's status then: while
// the status stays, the bytes are the ones compared. Used under the folder's lock only.
struct Seen {
    Status status;
    quint64 hash = 0;
};
QHash<QString, Seen>& seenThisRun() {
    static QHash<QString, Seen> seen;
    return seen;
}

QString hex(quint64 value) {
    return QString::number(value, 16);
}

// A line with its own checksum at the end, so that a damaged line is known as such.
QString sealed(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    return line + u'\t' + hex(XXH3_64bits(bytes.constData(), static_cast<size_t>(bytes.size())));
}

bool unseal(const QString& line, QString& content) {
    const qsizetype tab = line.lastIndexOf(u'\t');
    if (tab < 0) {
        return false;
    }
    content = line.left(tab);
    const QByteArray bytes = content.toUtf8();
    return hex(XXH3_64bits(bytes.constData(), static_cast<size_t>(bytes.size()))) ==
           line.mid(tab + 1);
}

LogFinding bad(const QString& why) {
    return {false, why, -1};
}

LogFinding changedAfterCheck() {
    return bad(QStringLiteral("the file changed after it was checked: its bytes are not the ones "
                              "found good"));
}

} // namespace

Status statusOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return {};
    }
    return {true,
            static_cast<quint64>(st.st_dev),
            static_cast<quint64>(st.st_ino),
            st.st_size,
            st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
            st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec};
}

Reading readFingerprint(const QDir& dir, const QString& name, const std::atomic_bool* cancel) {
    const QString path = dir.filePath(name);
    Reading r{name, false, false, 0, statusOf(path)};
    r.read = r.status.ok && fingerprintOf(path, r.hash, cancel);
    r.steady = statusOf(path) == r.status;
    return r;
}

bool fingerprintOf(const QString& path, quint64& hash, const std::atomic_bool* cancel) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    XXH3_state_t* state = XXH3_createState();
    XXH3_64bits_reset(state);
    std::vector<char> buffer(std::size_t{4} << 20);
    bool ok = true;
    while (true) {
        if (cancel != nullptr && *cancel) {
            ok = false;
            break;
        }
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        XXH3_64bits_update(state, buffer.data(), static_cast<size_t>(n));
    }
    hash = XXH3_64bits_digest(state);
    XXH3_freeState(state);
    ::close(fd);
    return ok;
}

Verdicts::Verdicts(const QString& folder, const std::atomic_bool* cancel)
    : dir_(folder), cancel_(cancel) {
    read();
}

Verdicts::~Verdicts() {
    for (auto it = verdicts_.begin(); it != verdicts_.end();) {
        if (!dir_.exists(it.key())) {
            seenThisRun().remove(dir_.filePath(it.key()));
            it = verdicts_.erase(it);
            changed_ = true;
        } else {
            ++it;
        }
    }
    if (changed_) {
        write();
    }
}

void Verdicts::read() {
    QFile file(dir_.filePath(verdictsName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return;
    }
    QTextStream in(&file);
    QString content;
    // The first line: what the file is, and the folder's count of comparisons.
    if (!unseal(in.readLine(), content) || !content.startsWith(header + u'\t')) {
        changed_ = true; // a file of an earlier build, or damaged: written anew
        return;
    }
    tick_ = content.mid(header.size() + 1).toLongLong();
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QStringList f = unseal(line, content) ? content.split(u'\t') : QStringList();
        bool ok = f.size() == 8;
        Verdict v;
        if (ok) {
            bool each[5] = {};
            v.size = f[1].toLongLong(&each[0]);
            v.modified = f[2].toLongLong(&each[1]);
            v.hash = f[3].toULongLong(&each[2], 16);
            v.finding.good = f[4] == u'1';
            v.finding.qsos = f[5].toLongLong(&each[3]);
            v.tick = f[6].toLongLong(&each[4]);
            v.finding.finding = f[7];
            ok = std::all_of(std::begin(each), std::end(each), [](bool b) { return b; });
        }
        if (ok) {
            verdicts_.insert(f[0], v);
            tick_ = std::max(tick_, v.tick);
        } else {
            changed_ = true;
        }
    }
}

void Verdicts::write() const {
    QSaveFile file(dir_.filePath(verdictsName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return; // only a memory of work done: without it the files are checked again
    }
    QTextStream out(&file);
    out << sealed(header + u'\t' + QString::number(tick_)) << '\n';
    for (auto it = verdicts_.constBegin(); it != verdicts_.constEnd(); ++it) {
        QString finding = it->finding.finding;
        finding.replace(u'\n', u' ').replace(u'\t', u' ');
        const QStringList fields{it.key(),
                                 QString::number(it->size),
                                 QString::number(it->modified),
                                 hex(it->hash),
                                 it->finding.good ? QStringLiteral("1") : QStringLiteral("0"),
                                 QString::number(it->finding.qsos),
                                 QString::number(it->tick),
                                 finding};
        out << sealed(fields.join(u'\t')) << '\n';
    }
    out.flush();
    file.commit();
}

const Verdict& Verdicts::of(const QString& name) {
    const QString path = dir_.filePath(name);
    const Status status = statusOf(path);
    const auto it = verdicts_.constFind(name);
    if (it != verdicts_.constEnd() && it->size == status.size &&
        it->modified == status.modifiedMs()) {
        return *it;
    }
    // The fingerprint first, then the check, of the same bytes: copies are not written to.
    Verdict v;
    v.size = status.size;
    v.modified = status.modifiedMs();
    const bool read = status.ok && fingerprintOf(path, v.hash, cancel_);
    if (cancelled()) {
        static const Verdict notChecked{-1, 0, 0, 0, bad(QStringLiteral("not checked yet"))};
        return notChecked;
    }
    v.finding = read ? checkLogFile(path) : bad(QStringLiteral("the file cannot be read"));
    v.tick = ++tick_;
    if (v.finding.good) {
        seenThisRun().insert(path, {status, v.hash});
    }
    changed_ = true;
    return *verdicts_.insert(name, v);
}

bool Verdicts::stillGood(const QString& name, bool compare) {
    const Verdict& v = of(name);
    if (!v.finding.good) {
        return false;
    }
    const QString path = dir_.filePath(name);
    const Status status = statusOf(path);
    const auto seen = seenThisRun().constFind(path);
    if (seen != seenThisRun().constEnd() && seen->status == status && seen->hash == v.hash) {
        return true;
    }
    if (!compare) {
        return false;
    }
    quint64 hash = 0;
    const bool read = fingerprintOf(path, hash, cancel_);
    if (cancelled()) {
        return false;
    }
    Verdict& stored = verdicts_[name];
    stored.tick = ++tick_;
    changed_ = true;
    if (!read || hash != stored.hash) {
        seenThisRun().remove(path);
        stored.finding =
            read ? changedAfterCheck() : bad(QStringLiteral("the file cannot be read"));
        return false;
    }
    seenThisRun().insert(path, {status, hash});
    return true;
}

QStringList Verdicts::notCompared(const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        if (of(name).finding.good && !stillGood(name, false)) {
            out << name;
        }
    }
    return out;
}

void Verdicts::apply(const Reading& reading) {
    const QString path = dir_.filePath(reading.name);
    const auto it = verdicts_.find(reading.name);
    if (!reading.steady || (!reading.read && cancelled()) || it == verdicts_.end() ||
        !it->finding.good || it->size != reading.status.size ||
        it->modified != reading.status.modifiedMs() || statusOf(path) != reading.status) {
        return; // changed meanwhile, or not read to its end: compared when next needed
    }
    it->tick = ++tick_;
    changed_ = true;
    if (!reading.read) {
        seenThisRun().remove(path);
        it->finding = bad(QStringLiteral("the file cannot be read"));
        return;
    }
    if (reading.hash != it->hash) {
        seenThisRun().remove(path);
        it->finding = changedAfterCheck();
        return;
    }
    seenThisRun().insert(path, {reading.status, reading.hash});
}

void Verdicts::record(const QString& name, const Verdict& verdict) {
    const QString path = dir_.filePath(name);
    Verdict v = verdict;
    v.tick = ++tick_;
    const Status status = statusOf(path);
    v.size = status.size;
    v.modified = status.modifiedMs();
    verdicts_.insert(name, v);
    seenThisRun().insert(path, {status, v.hash});
    changed_ = true;
}

void Verdicts::forget(const QString& name) {
    seenThisRun().remove(dir_.filePath(name));
    changed_ = verdicts_.remove(name) > 0 || changed_;
}

QStringList Verdicts::comparedLongestAgo() const {
    std::vector<std::pair<qint64, QString>> good;
    for (auto it = verdicts_.constBegin(); it != verdicts_.constEnd(); ++it) {
        if (it->finding.good) {
            good.emplace_back(it->tick, it.key());
        }
    }
    std::sort(good.begin(), good.end());
    QStringList names;
    for (const auto& g : good) {
        names << g.second;
    }
    return names;
}

} // namespace hm52::backup::detail
