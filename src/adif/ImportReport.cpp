#include "adif/AdifImport.h"

namespace hm52::adif {

namespace {

// "QSOs 12, 15 and 40", listing a few hundred at the most.
QString numbersOf(const std::vector<int>& numbers) {
    QStringList shown;
    const size_t listed = std::min<size_t>(numbers.size(), ImportReport::noteLimit);
    for (size_t i = 0; i < listed; ++i) {
        shown << QString::number(numbers[i]);
    }
    QString out = numbers.size() == 1 ? QStringLiteral("QSO ") : QStringLiteral("QSOs ");
    out += shown.join(QStringLiteral(", "));
    if (numbers.size() > listed) {
        out += QStringLiteral(" and %1 more").arg(numbers.size() - listed);
    }
    return out;
}

} // namespace

QString ImportReport::text(const QString& fileName) const {
    if (cancelled) {
        return QStringLiteral("Import of %1 cancelled: nothing was imported.").arg(fileName);
    }
    if (noRecords) {
        return QStringLiteral("Import of %1: the file holds no ADIF records (no <EOR> tag), so "
                              "nothing was imported. Choose an ADIF file (.adi) written by a "
                              "logger or a QSL service.")
            .arg(fileName);
    }
    // One pass over the text, so that a "%2" in the file's name stays as it is.
    QString out = records == 1 ? QStringLiteral("Import of %1: 1 record\n\n").arg(fileName)
                               : QStringLiteral("Import of %1: %2 records\n\n")
                                     .arg(fileName, QString::number(records));
    if (exactCopy) {
        out += QStringLiteral("The file is an export of HM52 and the log was empty: its QSOs "
                              "were copied as they stand, numbers included.\n\n");
    }
    out += QStringLiteral("Imported: %1\n").arg(imported);
    if (confirmations > 0) {
        out += QStringLiteral("Confirmations applied: %1 (%2 now confirmed)\n")
                   .arg(QString::number(confirmations), numbersOf(confirmed));
    }
    out += QStringLiteral("Outside the award square: %1\n").arg(outside);
    out += QStringLiteral("Repeats of QSOs already in the log: %1\n").arg(repeats);
    out += QStringLiteral("Refused by the award's rules: %1\n").arg(refused);
    out += QStringLiteral("Unreadable: %1\n").arg(unreadable);
    if (charsCounted == 1) {
        out += QStringLiteral("\n1 record gave lengths in characters instead of bytes; it was "
                              "read by characters.\n");
    } else if (charsCounted > 1) {
        out += QStringLiteral("\n%1 records gave lengths in characters instead of bytes; they "
                              "were read by characters.\n")
                   .arg(charsCounted);
    }
    auto list = [&out](const QString& title, const std::vector<ImportNote>& notes, int all) {
        if (notes.empty()) {
            return;
        }
        out += u'\n' + title + u'\n';
        for (const ImportNote& n : notes) {
            out += QStringLiteral("  record %1 (line %2): %3\n")
                       .arg(n.record)
                       .arg(n.line)
                       .arg(n.reason);
        }
        if (all > static_cast<int>(notes.size())) {
            out += QStringLiteral("  and %1 more\n").arg(all - static_cast<int>(notes.size()));
        }
    };
    list(QStringLiteral("Values that are none of the log's codes:"), valueNotes, valueCount);
    list(QStringLiteral("Refused by the award's rules:"), refusedNotes, refused);
    list(QStringLiteral("Unreadable:"), unreadableNotes, unreadable);
    return out;
}

} // namespace hm52::adif
