#include "rules/Rules.h"

#include "platform/Database.h"
#include "platform/PreparedWrite.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/QuoteSql.h"

#include <algorithm>
#include <limits>

namespace hm52::rules {

namespace {

// The whole text is a number: digits with an optional sign and an optional decimal point,
// blanks around it allowed.
bool readsAsNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (!t.isEmpty() && (t[0] == u'+' || t[0] == u'-')) {
        i = 1;
    }
    bool digit = false;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= u'0' && c <= u'9') {
            digit = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// Only the digits 0-9. Date and time boxes take nothing else: a sign, a blank or a decimal
// point would pass a looser number test and then be stored as some other day or time.
bool plainDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool subSquareLetters(const QString& text) {
    return text.size() == 2 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'A' && c <= u'X'; });
}

QStringList failedChecks(const TypedQso& q, Lengths lengths) {
    QStringList failed;
    auto length = [lengths](const QString& text) {
        return lengths == Lengths::AfterQuotes ? QuoteSql(text).size() : text.size();
    };

    if (q.locator.size() != 2) {
        return {QStringLiteral("WWLocator Field must be two characters")};
    }
    if (readsAsNumber(q.locator)) {
        return {QStringLiteral("WWLocator Field cannot be numerical")};
    }
    // Only AA to XX name sub-squares: anything else would be counted and claimed as one.
    if (!subSquareLetters(q.locator)) {
        return {QStringLiteral("WWLocator Field must be two letters from A to X")};
    }
    if (q.call.isEmpty()) {
        return {QStringLiteral("Call Field cannot be null")};
    }
    if (length(q.call) > callLimit) {
        failed << QStringLiteral("Call Field is too long"); // the checks go on
    }
    if (holdsControl(q.call)) {
        return failed << QStringLiteral("Call Field cannot hold control characters");
    }
    if (q.day.isEmpty() || q.month.isEmpty() || q.year.isEmpty()) {
        return failed << QStringLiteral("Date Fields cannot be null");
    }
    if (!plainDigits(q.day) || !plainDigits(q.month) || !plainDigits(q.year)) {
        return failed << QStringLiteral("date fields must be numeric");
    }
    const int day = q.day.toInt();
    const int month = q.month.toInt();
    if (day < 1 || day > 31 || month < 1 || month > 12) {
        return failed << QStringLiteral("error in date field format");
    }
    if (q.time.isEmpty()) {
        return failed << QStringLiteral("time field cannot be null");
    }
    if (!plainDigits(q.time)) {
        return failed << QStringLiteral("time field must be numeric");
    }
    if (q.time.size() != 4) {
        return failed << QStringLiteral("time field must be 4 numbers");
    }
    if (q.time.left(2).toInt() > 23 || q.time.mid(2, 2).toInt() > 59) {
        return failed << QStringLiteral("error in time field format");
    }
    if (q.place.isEmpty()) {
        failed << QStringLiteral("place field cannot be null"); // the checks go on
    }
    if (length(q.place) > placeLimit) {
        return failed << QStringLiteral("place field is too long");
    }
    if (holdsControl(q.place)) {
        failed << QStringLiteral("place field cannot hold control characters");
    }
    return failed;
}

bool holdsControl(QStringView text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

QString controlsShown(QString text) {
    for (QChar& c : text) {
        if (c.unicode() < 0x20) {
            c = QChar(static_cast<char16_t>(0x2400 + c.unicode()));
        } else if (c.unicode() == 0x7F) {
            c = QChar(u'\u2421');
        }
    }
    return text;
}

namespace {

// What keeps out a new QSO with the state `qsl` from a group that holds `group`.
Conflict conflictOf(const Group& group, const QString& qsl) {
    if (group.accredited) {
        return Conflict::AccreditedStands;
    }
    if (group.confirmed && (qsl == codes::confirmed || qsl == codes::accredited)) {
        return Conflict::ConfirmedStands;
    }
    return Conflict::None;
}

} // namespace

std::vector<Verdict> whoStands(const Group& logged, const std::vector<Newcomer>& newcomers) {
    std::vector<Verdict> verdicts(newcomers.size());
    // The confirmed and accredited newcomers, the one that would stand first.
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(newcomers.size()); ++i) {
        if (newcomers[static_cast<size_t>(i)].qsl != codes::worked) {
            order.push_back(i);
        }
    }
    const auto rank = [&newcomers](int i) {
        const Newcomer& n = newcomers[static_cast<size_t>(i)];
        return std::make_pair(n.qsl != codes::accredited,
                              n.seconds < 0 ? std::numeric_limits<qint64>::max() : n.seconds);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&rank](int a, int b) { return rank(a) < rank(b); });
    const int first = order.empty() ? -1 : order.front();
    const QString firstQsl = first < 0 ? QString() : newcomers[static_cast<size_t>(first)].qsl;
    const bool firstStands = first >= 0 && conflictOf(logged, firstQsl) == Conflict::None;
    const Group besideFirst{firstQsl == codes::confirmed, firstQsl == codes::accredited};

    for (size_t i = 0; i < newcomers.size(); ++i) {
        const Newcomer& n = newcomers[i];
        Verdict& v = verdicts[i];
        v.conflict = conflictOf(logged, n.qsl);
        if (v.conflict != Conflict::None || !firstStands || static_cast<int>(i) == first ||
            (n.qsl == codes::worked && n.sameLog)) {
            continue;
        }
        v.conflict = conflictOf(besideFirst, n.qsl);
        if (v.conflict != Conflict::None) {
            v.standing = first;
        }
    }
    return verdicts;
}

namespace duplicates {

bool accredited(Module1& m, const QString& locator, const QString& band, const QString& mode) {
    const qint64 n =
        m.contatore(QStringLiteral("select count(*) as contatore from data where WWLocator = '") +
                    QuoteSql(locator) + QStringLiteral("' and qsl = 'a' and band = '") + band +
                    QStringLiteral("' and mode = '") + mode + u'\'');
    // Whatever state the new QSO has.
    const Group group{.accredited = n > 0};
    return whoStands(group, {Newcomer{codes::worked}}).front().conflict ==
           Conflict::AccreditedStands;
}

std::vector<qint64> otherConfirmed(Module1& m, const QString& mode, const QString& band,
                                   const QString& qsl, const QString& locator,
                                   const QString& except) {
    // Only a new QSO that a confirmed one keeps out looks for them.
    const Group group{.confirmed = true};
    if (whoStands(group, {Newcomer{qsl}}).front().conflict != Conflict::ConfirmedStands) {
        return {};
    }
    const QString condition = mode + QStringLiteral("' and band='") + band +
                              QStringLiteral("' and qsl='") + qsl +
                              QStringLiteral("' and WWLocator='") + QuoteSql(locator) + except;
    Recordset& rs = m.openShared(QStringLiteral("select * from data where mode ='") + condition);
    const qint64 n = m.contatore(
        QStringLiteral("select count(*) as contatore from data where mode ='") + condition);
    std::vector<qint64> numbers;
    for (; static_cast<qint64>(numbers.size()) < n && !rs.eof(); rs.moveNext()) {
        numbers.push_back(rs.field(QStringLiteral("count")).toLongLong());
    }
    // Nothing held on the log while the window asks.
    rs.finish();
    return numbers;
}

void replace(Module1& m, qint64 number) {
    PreparedWrite(m.logDb, QStringLiteral("delete from data where count = ?1"))
        .bind(1, number)
        .run();
}

} // namespace duplicates

QString Groups::key(const QString& locator, const QString& band, const QString& mode) {
    return locator.toUpper() + u'\x1f' + band.toUpper() + u'\x1f' + mode.toUpper();
}

void Groups::load(Module1& m) {
    Recordset rs(m.logDb, QStringLiteral("select WWLocator, band, mode, qsl, count from data "
                                         "where qsl <> 'w' order by count"));
    for (; !rs.eof(); rs.moveNext()) {
        add(rs.textAt(0), rs.textAt(1), rs.textAt(2), rs.textAt(3).toLower(), rs.intAt(4));
    }
}

const Group& Groups::of(const QString& locator, const QString& band, const QString& mode) const {
    static const Group none;
    const auto found = groups_.constFind(key(locator, band, mode));
    return found == groups_.constEnd() ? none : found.value();
}

void Groups::add(const QString& locator, const QString& band, const QString& mode,
                 const QString& qsl, qint64 count) {
    if (qsl != codes::accredited && qsl != codes::confirmed) {
        return;
    }
    Group& g = groups_[key(locator, band, mode)];
    if (qsl == codes::accredited) {
        if (!g.accredited) {
            g.standing = count;
        }
        g.accredited = true;
    } else {
        if (!g.accredited && !g.confirmed) {
            g.standing = count;
        }
        g.confirmed = true;
    }
}

namespace {
constexpr qint64 highestNumber = 2147483647;

qint64 afterHighest(Module1& m) {
    // `count` is the table's key, so the engine finds the highest at once.
    const QVariant highest = m.logDb.scalar(QStringLiteral("select max(count) from data"));
    return highest.isValid() ? highest.toLongLong() + 1 : 1;
}

int checked(qint64 number) {
    if (number > highestNumber) {
        throw DbError(QStringLiteral("the log has no QSO number left after %1").arg(highestNumber));
    }
    return static_cast<int>(number);
}
} // namespace

int nextCount(Module1& m) {
    return checked(afterHighest(m));
}

Numbering::Numbering(Module1& m) : next_(afterHighest(m)) {}

int Numbering::next() {
    return checked(next_++);
}

} // namespace hm52::rules
