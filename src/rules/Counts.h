#pragma once

#include <QString>

#include <array>

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

// The states of the sub-squares, and how many QSOs of the mode and band hold a value that is
// not a QSL state of the log (they colour no sub-square).
struct SquareCount {
    SquareStates states{};
    int unknownStates = 0;
};
SquareCount squareStates(Module1& m, const QString& mode, const QString& band);

} // namespace hm52::rules
