#pragma once

#include <QString>
#include <QStringList>

namespace hm52 {

// How many items of a list a message box shows, so that the box fits any screen.
inline constexpr int shownInBox = 20;

// A list as a message box shows it: one item a line, at most `shown` of them, then
// "and N more" for the rest of `all` (the list's whole length when it holds every item).
inline QString listedLines(const QStringList& items, qsizetype all = -1, int shown = shownInBox) {
    if (all < 0) {
        all = items.size();
    }
    QString text = items.mid(0, shown).join(u'\n');
    const qsizetype listed = std::min<qsizetype>(items.size(), shown);
    if (all > listed) {
        text += QStringLiteral("\nand %1 more").arg(all - listed);
    }
    return text;
}

} // namespace hm52
