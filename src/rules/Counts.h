#pragma once

#include <QString>

#include <array>
#include <optional>

namespace hm52 {
class Module1;
}

// What the award counter and the sub-square map count.
namespace hm52::rules {

// The counter's cell of a mode, band and QSL state: the QSOs of the log that stand in it. Every
// QSO of one of the six bands is counted in exactly one cell of its band, the one of its QSL
// state ("worked" is worked and not yet confirmed); a QSO of a mode is counted only for that
// mode ("MIXED" is a mode of its own, not the union of the others).
QString cellSql(const QString& mode, const QString& band, QChar qsl);
qint64 cell(Module1& m, const QString& mode, const QString& band, QChar qsl);

// The best state of each of the 576 sub-squares for a mode and band (the first letter is the
// column, west to east; the second the row, south to north).
enum class SquareState : unsigned char { None, Worked, Confirmed, Accredited };
inline constexpr int side = 24;
inline constexpr int squares = side * side;
using SquareStates = std::array<SquareState, squares>;

// The index of two sub-square letters (A-X, either case), -1 when they name none; and back.
int squareIndex(const QString& letters);
QString squareLetters(int index);

// The band that stands for all six: a sub-square's best state over every band of the award.
inline const QString anyBand = QStringLiteral("any band");

// The state a stored QSL value gives ("w", "c" or "a" in either case); nothing for a value
// that is not a QSL state of the log.
std::optional<SquareState> stateOfQsl(const QString& qsl);
// "not worked", "worked", "confirmed", "accredited".
QString stateName(SquareState state);
// The QSL code of a state ("w", "c", "a"; empty for none).
QString qslCode(SquareState state);

// The best states of the sub-squares (the best QSL state among each one's QSOs), and how many
// QSOs of the mode and band hold a value that is not a QSL state of the log (they give no
// sub-square a state).
struct SquareCount {
    SquareStates states{};
    qint64 unknownStates = 0;

    int inState(SquareState state) const;
    // "Sub-squares: worked 2, confirmed 1, accredited 1, not worked 572", and a second line
    // for QSOs whose QSL state is none of the log's.
    QString text() const;
};
// For a mode and one of the six bands, or anyBand.
SquareCount squareStates(Module1& m, const QString& mode, const QString& band);

} // namespace hm52::rules
