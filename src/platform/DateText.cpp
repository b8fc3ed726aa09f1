#include "platform/DateText.h"

#include <QStringList>

namespace hm52::datetext {

namespace {

// A run of 1..maxDigits ASCII digits, as an int; -1 otherwise.
int digitsValue(QStringView text, int maxDigits) {
    if (text.isEmpty() || text.size() > maxDigits) {
        return -1;
    }
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') {
            return -1;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString twoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString isoDate(int year, int month, int day) {
    if (year < 0 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
        return {};
    }
    return QStringLiteral("%1-%2-%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(twoDigits(month), twoDigits(day));
}

} // namespace

int centuryYear(int twoDigitYear) {
    return twoDigitYear < 30 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

QString storedDate(const QString& written) {
    const QString text = written.trimmed();
    if (text.contains(u'/')) {
        const QStringList parts = text.split(u'/');
        if (parts.size() != 3) {
            return {};
        }
        const int day = digitsValue(parts[0], 2);
        const int month = digitsValue(parts[1], 2);
        const int yearText = parts[2].size() == 4 ? digitsValue(parts[2], 4) : -1;
        const int shortYear = parts[2].size() <= 2 ? digitsValue(parts[2], 2) : -1;
        const int year = yearText >= 0 ? yearText : (shortYear >= 0 ? centuryYear(shortYear) : -1);
        if (day < 0 || month < 0 || year < 0) {
            return {};
        }
        return isoDate(year, month, day);
    }
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        const int year = digitsValue(QStringView(text).mid(0, 4), 4);
        const int month = digitsValue(QStringView(text).mid(5, 2), 2);
        const int day = digitsValue(QStringView(text).mid(8, 2), 2);
        if (year < 0 || month < 0 || day < 0) {
            return {};
        }
        return isoDate(year, month, day);
    }
    return {};
}

QString storedTime(const QString& written) {
    const QStringList parts = written.trimmed().split(u':');
    if (parts.size() < 2 || parts.size() > 3) {
        return {};
    }
    const int hours = digitsValue(parts[0], 2);
    const int minutes = parts[1].size() == 2 ? digitsValue(parts[1], 2) : -1;
    const int seconds = parts.size() == 3 && parts[2].size() == 2 ? digitsValue(parts[2], 2)
                        : parts.size() == 2                       ? 0
                                                                  : -1;
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59) {
        return {};
    }
    return QStringLiteral("%1:%2:%3").arg(twoDigits(hours), twoDigits(minutes), twoDigits(seconds));
}

QString readDate(const QString& stored) {
    if (stored.size() != 10 || stored[4] != u'-' || stored[7] != u'-') {
        return stored;
    }
    const QStringView view(stored);
    if (digitsValue(view.mid(0, 4), 4) < 0 || digitsValue(view.mid(5, 2), 2) < 0 ||
        digitsValue(view.mid(8, 2), 2) < 0) {
        return stored;
    }
    return stored.mid(8, 2) + u'/' + stored.mid(5, 2) + u'/' + stored.mid(2, 2);
}

QString readTime(const QString& stored) {
    if (stored.size() != 8 || stored[2] != u':' || stored[5] != u':') {
        return stored;
    }
    const QStringView view(stored);
    const int hours = digitsValue(view.mid(0, 2), 2);
    if (hours < 0 || digitsValue(view.mid(3, 2), 2) < 0 || digitsValue(view.mid(6, 2), 2) < 0) {
        return stored;
    }
    return QString::number(hours) + u'.' + stored.mid(3, 2) + u'.' + stored.mid(6, 2);
}

} // namespace hm52::datetext
