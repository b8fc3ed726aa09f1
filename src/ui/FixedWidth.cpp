#include "ui/FixedWidth.h"

#include <algorithm>

namespace hm52::fixed {

namespace {

// What a character looks like in a column: a control character as its picture (U+2400 to
// U+2421), anything else as it is.
QChar shown(char16_t c) {
    if (c < 0x20) {
        return QChar(static_cast<char16_t>(0x2400 + c));
    }
    if (c == 0x7f) {
        return QChar(u'\u2421');
    }
    return QChar(c);
}

} // namespace

void Writer::blanks(int n) {
    out_ = std::fill_n(out_, std::max(n, 0), QChar(u' '));
}

void Writer::column(QStringView value, int width) {
    qsizetype n = std::min<qsizetype>(value.size(), width);
    // Never cut a character made of two code units in half.
    if (n > 0 && n < value.size() && value.at(n - 1).isHighSurrogate()) {
        --n;
    }
    for (qsizetype i = 0; i < n; ++i) {
        *out_++ = shown(value.at(i).unicode());
    }
    blanks(width - static_cast<int>(n));
}

void Writer::column(QByteArrayView utf8, int width) {
    const qsizetype n = std::min<qsizetype>(utf8.size(), width);
    for (qsizetype i = 0; i < n; ++i) {
        if (static_cast<unsigned char>(utf8[i]) >= 0x80) {
            // Not plain ASCII (rare in a log): decode first.
            column(QString::fromUtf8(utf8), width);
            return;
        }
    }
    for (qsizetype i = 0; i < n; ++i) {
        *out_++ = shown(static_cast<char16_t>(utf8[i]));
    }
    blanks(width - static_cast<int>(n));
}

void Writer::bar() {
    *out_++ = u' ';
    *out_++ = u'|';
    *out_++ = u' ';
}

Line::Line(int indent) : text_(std::max(indent, 0), u' ') {}

Line& Line::column(QStringView value, int width) {
    const qsizetype at = text_.size();
    text_.resize(at + (first_ ? 0 : separatorLength) + width);
    Writer w(text_.data() + at);
    if (!first_) {
        w.bar();
    }
    w.column(value, width);
    text_.truncate(w.end() - text_.constData());
    first_ = false;
    return *this;
}

QString hourMinutes(const QString& timeText) {
    if (timeText.size() > 1 && timeText.at(1) == u'.') {
        return u'0' + timeText.left(4);
    }
    return timeText.left(5);
}

} // namespace hm52::fixed
