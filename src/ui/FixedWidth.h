#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Lines of fixed-width columns, as the lists and the printouts show them: each value
// left-aligned in its column and padded with blanks on the right, the columns joined by " | ".
// A value longer than its column is cut to it, so that the bars of every line stand one under
// another whatever the values hold. A control character (which a damaged or foreign log may
// hold) is shown as its visible picture, never as a blank or not at all.
namespace hm52::fixed {

// The separator between two columns: blank, vertical bar, blank.
inline constexpr int separatorLength = 3;

// Writes columns into a buffer that has room for them.
class Writer {
public:
    explicit Writer(QChar* out) : out_(out) {}
    // `n` blanks.
    void blanks(int n);
    // A value in a column of `width` characters.
    void column(QStringView value, int width);
    // A stored UTF-8 text in a column, copied without decoding when it is plain ASCII.
    void column(QByteArrayView utf8, int width);
    // The separator " | ".
    void bar();
    QChar* end() const { return out_; }

private:
    QChar* out_;
};

// A line built column by column, with the separator before every column but the first.
class Line {
public:
    explicit Line(int indent = 0);
    Line& column(QStringView value, int width);
    const QString& text() const { return text_; }

private:
    QString text_;
    bool first_ = true;
};

// A QSO's time as the log hands it back ("9.05.00", "21.30.00") as two-digit hour, full stop
// and two-digit minutes ("09.05", "21.30"): a one-digit hour gains a leading zero; any other
// text gives its first five characters.
QString hourMinutes(const QString& timeText);

} // namespace hm52::fixed
