#pragma once

#include <QString>
#include <QStringList>

// The value codes of the log, each stored exactly as written here.
namespace hm52::codes {

// QSL states.
inline const QString worked = QStringLiteral("w");
inline const QString confirmed = QStringLiteral("c");
inline const QString accredited = QStringLiteral("a");

// Whether a stored QSL state is `code`. The log compares text without letter case ("A" is
// accredited to the counter's SQL), and so must every rule that reads a state in code.
inline bool isState(const QString& stored, const QString& code) {
    return stored.compare(code, Qt::CaseInsensitive) == 0;
}

// Bands and modes, in the order the lists show them.
const QStringList& bands();
const QStringList& modes();

// The nine provinces that the award square touches, in alphabetical order: eight codes of
// two capital letters and one of three. The gazetteer's every `prov` is one of them.
const QStringList& provinces();

// The award square.
inline const QString awardSquare = QStringLiteral("HM52");

} // namespace hm52::codes
