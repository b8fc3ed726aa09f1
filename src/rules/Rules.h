#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace hm52 {
class Module1;
}

// The award's rules for the QSOs of the log: what a valid QSO is, the duplicate rules of a
// sub-square, band and mode, and the numbering of a new QSO. The QSO windows and the importer
// ask here; nothing else decides these.
namespace hm52::rules {

// The longest call sign and place that the log takes.
inline constexpr int callLimit = 15;
inline constexpr int placeLimit = 50;

// A QSO as the form's boxes hold it.
struct TypedQso {
    QString locator; // the two sub-square letters
    QString call;
    QString day, month, year; // the three date boxes
    QString time;             // hhmm
    QString place;
};

// Where the call and place limits are counted: on the text after its single quotes are
// doubled for SQL (the insert window), or on the text as typed (the edit window).
enum class Lengths { AfterQuotes, AsTyped };

// True when the text names a sub-square: two letters from A to X, upper case as the form
// keeps them.
bool subSquareLetters(const QString& text);

// The checks of a QSO, in their fixed order: the message of each check that fails. Most
// failures end the checking; a call that is too long and an empty place let it go on, so that
// a second message can follow. An empty list: the QSO is valid.
QStringList failedChecks(const TypedQso& qso, Lengths lengths);

// Whether a call or a place holds a control character (below U+0020, or U+007F), which no
// call or place holds: a NUL cuts what the windows show short, others show as nothing.
bool holdsControl(QStringView text);
// The text with its control characters shown as their pictures (NUL as U+2400 ...).
QString controlsShown(QString text);

// What one sub-square, band and mode already holds.
struct Group {
    bool confirmed = false;  // a confirmed QSO
    bool accredited = false; // an accredited QSO
    qint64 standing = 0;     // the number of the QSO that stands (the accredited one first)
};

// What keeps a new QSO out of its group: nothing; an accredited QSO, which no new QSO of the
// group may join, whatever its QSL state; or a confirmed QSO, which a new confirmed (or
// accredited) QSO may only replace, never stand beside. Any number of worked QSOs may stand.
enum class Conflict { None, AccreditedStands, ConfirmedStands };

// A QSO that would come into a group: the one a QSO window submits, or a record of a file.
struct Newcomer {
    QString qsl;         // worked, confirmed or accredited
    qint64 seconds = -1; // when it was made, to find the oldest; -1 when unknown
    // From a log of this program's own, which may have held a worked QSO beside an
    // accredited one of its group (logged before the sub-square was accredited).
    bool sameLog = false;
};

// Whether a newcomer comes in, and if not, the QSO that stands against it.
struct Verdict {
    Conflict conflict = Conflict::None; // None: it comes in
    int standing = -1; // the newcomer that stands against it; -1: the log's (Group::standing)
};

// Which QSO of a group stands, for newcomers that would join what the log holds of it
// (`logged`). The log's accredited QSO keeps out every newcomer; the log's confirmed QSO
// every confirmed or accredited one. Otherwise one of the confirmed and accredited newcomers
// stands: an accredited one before a confirmed one, then the oldest (those of unknown time
// after the others, equals in their given order). It keeps out the other confirmed and
// accredited newcomers and, when it is accredited, the worked ones not of the same log.
// One verdict for each newcomer, in their order.
std::vector<Verdict> whoStands(const Group& logged, const std::vector<Newcomer>& newcomers);

// The duplicate rules on the log, with the queries and texts the QSO windows use.
namespace duplicates {

inline const QString accreditedMessage =
    QStringLiteral("Another QSO with the same accreditated locator already exists! new qso will "
                   "not be saved");
inline const QString replaceQuestion = QStringLiteral(
    "warning: the same locator confirmed already exist! do you want to replace it? Last QSO "
    "will be deleted");

// True when the log holds an accredited QSO of the sub-square, band and mode.
bool accredited(Module1& m, const QString& locator, const QString& band, const QString& mode);

// The confirmed rule for a new QSO with the state `qsl`: the numbers of the other confirmed
// QSOs of its sub-square, band and mode, the one to replace first. Their look-up is opened
// into sharedRs and ended there, holding nothing. `except` ends both queries ("';", or
// "' and count <> 12;" to leave the edited QSO out). None, and nothing opened, when the new
// QSO is not a confirmed one.
std::vector<qint64> otherConfirmed(Module1& m, const QString& mode, const QString& band,
                                   const QString& qsl, const QString& locator,
                                   const QString& except);

// Deletes the confirmed QSO `number` that a new one replaces: inside the transaction that
// stores the new one, so that it goes only if the new one is stored.
void replace(Module1& m, qint64 number);

} // namespace duplicates

// The groups of a whole log in memory, for the rules of many QSOs at once (an import).
class Groups {
public:
    // Reads every QSO of the log.
    void load(Module1& m);
    const Group& of(const QString& locator, const QString& band, const QString& mode) const;
    void add(const QString& locator, const QString& band, const QString& mode, const QString& qsl,
             qint64 count = 0);

private:
    static QString key(const QString& locator, const QString& band, const QString& mode);
    QHash<QString, Group> groups_;
};

// The number of a new QSO: the highest `count` in the log plus 1, or 1 in an empty log.
// Throws DbError when the log has no number left.
int nextCount(Module1& m);

// Numbers for many new QSOs in a row, from the same starting point.
class Numbering {
public:
    explicit Numbering(Module1& m);
    // The next number; throws DbError when the log has no number left.
    int next();

private:
    qint64 next_;
};

} // namespace hm52::rules
