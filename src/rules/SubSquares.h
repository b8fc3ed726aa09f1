#pragma once

#include "rules/Counts.h"

#include <QString>

#include <optional>
#include <vector>

namespace hm52 {
class Module1;
}

// One sub-square for a mode and band: the QSOs that make its state, the state they make, and
// what the Needed list and the QSO form say of it.
namespace hm52::rules {

// A QSO of a sub-square, with what the readers show of it.
struct SquareQso {
    qint64 count = 0;
    QString call;
    QString date; // as the engine hands it back: dd/mm/yy
    QString band;
    QString mode;
    QString qsl;
};

// A sub-square's best state for a mode and band and the QSOs that stand in that state (for
// "worked": every worked QSO, the cards still to chase).
struct SquareStanding {
    SquareState state = SquareState::None;
    std::vector<SquareQso> behind;
};

// Whether a QSO's band and mode are those asked for: the log compares text without letter
// case; anyBand takes each of the six bands, and nothing else; "MIXED" is a mode of its own.
bool takes(const SquareQso& qso, const QString& mode, const QString& band);

// The standing that a sub-square's QSOs give for a mode and band (QSOs of other modes and
// bands are passed over): the best QSL state among them, as squareStates() reads it for every
// sub-square at once.
SquareStanding standingOf(const std::vector<SquareQso>& qsos, const QString& mode,
                          const QString& band);

// The QSOs of one sub-square (its two letters) for a mode and band (or anyBand), in the
// order they were made, leaving out the QSO numbered `except` when one is given (the QSO
// being edited), and only those in the state `only` when one is given (those behind a state
// already known).
std::vector<SquareQso> squareQsos(Module1& m, const QString& letters, const QString& mode,
                                  const QString& band, std::optional<qint64> except = {},
                                  std::optional<SquareState> only = {});

// A QSO as the lists show it: "I1ABC 05/01/04", with its band after it for anyBand.
QString qsoText(const SquareQso& qso, bool withBand);
// The QSOs behind a standing, ", " between them.
QString behindText(const SquareStanding& standing, bool withBand);

// What a new QSO of the sub-square would bring on a band and mode, as the QSO form says it:
// "HM52AB on VHF SSB: new sub-square", "...: worked 2 times, no card yet",
// "...: confirmed (QSO 1234)", "...: accredited: a new QSO will be refused".
QString bringsText(const QString& letters, const QString& band, const QString& mode,
                   const SquareStanding& standing);

// What a new QSO of the typed sub-square would bring, read from the log (leaving out the QSO
// numbered `except`, the one being edited): the text above, nothing while the text is not a
// sub-square's two letters, and why when the log cannot be read.
QString brings(Module1& m, const QString& letters, const QString& band, const QString& mode,
               std::optional<qint64> except);

// What the next request of a band and mode needs, as one line (the map's progress line); for
// anyBand, that each band has requests of its own.
QString progressText(Module1& m, const QString& band, const QString& mode);

} // namespace hm52::rules
