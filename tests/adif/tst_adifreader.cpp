// Reading ADIF bytes: where writers differ, what a damaged file gives, and that no input,
// however arbitrary, crashes the reader, stalls it, or loses a record.

#include "adif/AdifReader.h"

#include <QTest>

#include <array>
#include <random>

using namespace hm52::adif;
using namespace Qt::StringLiterals;

namespace {

// What the reader makes of some bytes: each record on a line of its own,
// "1: CALL=I1ABC QSO_DATE=20230115 QTH=ALFA", " (characters)" after a record whose lengths
// counted characters, "2: error: ..." for a record it could not read; "(header)" first when
// the file had a header.
QStringList readAll(const QByteArray& bytes) {
    Reader reader(bytes);
    Record r;
    QStringList out;
    while (reader.next(r)) {
        QString line = QString::number(r.number) + u':';
        if (!r.error.isEmpty()) {
            out << line + u" error: "_s + r.error;
            continue;
        }
        for (const auto& [field, name] :
             {std::pair{Field::Call, "CALL"}, {Field::QsoDate, "QSO_DATE"}, {Field::Qth, "QTH"}}) {
            if (r.has(field)) {
                line += u' ' + QLatin1String(name) + u'=' + r.text(field);
            }
        }
        out << line + (r.charsCounted ? u" (characters)"_s : QString());
    }
    if (reader.hadHeader()) {
        out.prepend(u"(header)"_s);
    }
    return out;
}

} // namespace

class AdifReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsEveryWritersLayoutAndReportsWhatItCannotRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("read");
        const QByteArray record = "<CALL:5>I1ABC<QSO_DATE:8>20230115<QTH:4>ALFA<EOR>";
        const QString one = u"1: CALL=I1ABC QSO_DATE=20230115 QTH=ALFA"_s;
        const auto add = [](const char* name, const QByteArray& bytes, const QStringList& read) {
            QTest::newRow(name) << bytes << read;
        };
        // (A header after a byte-order mark, lower-case tags and type letters: the files of
        // tst_adifimport.)
        add("fields in another order with line ends",
            "<QTH:4>ALFA\r\n<QSO_DATE:8>20230115\n<CALL:5>I1ABC\r<EOR>\r\n", {one});
        add("preamble without <EOH>", "Some notes\n" + record, {one});
        // UTF-8 values counted in bytes, and Latin-1 bytes. (Counted in characters:
        // utf8-and-damage.adi in tst_adifimport.)
        add("UTF-8 and Latin-1 bytes", "<QTH:6>Citt\xC3\xA0 <CALL:2>X\xE0<EOR>",
            {"1: CALL=Xà QTH=Città"});
        // A record that cannot be read is reported, and the reader goes on. One wrong digit
        // in a length never swallows the records after it.
        add("unreadable records",
            "<QTH:3>\xC3\x80\xC3\x88<CALL:1>X<EOR><CALL:x>I1ABC<EOR><EOR>"
            "<CALL:1>X<QTH:21000>ALFA<EOR><CALL:4>NEXT<EOR>",
            {"1: error: the length 3 of QTH cuts a UTF-8 character",
             "2: error: a damaged field tag <CALL:x", "3: error: an empty record",
             "4: error: the length 21000 of QTH runs over the record's end", "5: CALL=NEXT"});
        // After a byte-order mark, a tag first: no header, so the <EOH> cuts a record.
        add("header in a record", "\xEF\xBB\xBF<CALL:1>X<EOH><CALL:4>NEXT<EOR>",
            {"(header)", "1: error: a header <EOH> stands where the record's <EOR> should be",
             "2: CALL=NEXT"});
        // A file cut off in its last record reports that record (cut before <EOR>: record 8
        // of utf8-and-damage.adi in tst_adifimport).
        add("cut inside a value", "<CALL:5>FIRST<EOR>\n<CALL:4>LAST<BAND:4>2m",
            {"1: CALL=FIRST", "2: error: the file ends inside BAND"});
        // Blanks and comments after the last record are no record.
        add("comment after the last record", "<CALL:1>X<EOR>\r\n  end of log\r\n", {"1: CALL=X"});
    }

    void readsEveryWritersLayoutAndReportsWhatItCannotRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, read);
        QCOMPARE(readAll(bytes), read);
    }

    // Arbitrary bytes, and valid files damaged at random: the reader always ends, moves
    // forward on every record, and hands on every record it delimits, each exactly once.
    void arbitraryBytesNeverCrashStallOrLoseARecord() {
        std::mt19937 random(20240601);
        const QByteArray valid =
            "Header\r\n<ADIF_VER:5>3.1.4<EOH>\r\n"
            "<CALL:5>I1ABC <GRIDSQUARE:6>HM52AB <QSO_DATE:8:D>20230115 <TIME_ON:4>0930 "
            "<BAND:2>2m <MODE:3>SSB <QTH:6>Citt\xC3\xA0 <EOR>\r\n"
            "<call:5>I2XYZ<gridsquare:8>hm52cd12<qso_date:8>20230116<time_on:6>101530"
            "<freq:7>432.174<mode:4>MFSK<submode:3>FT4<qsl_rcvd:1>V<eor>\n";
        const char alphabet[] = "<>:EORHeorh0123456789 \r\n\xC3\x80\xA0";
        for (int round = 0; round < 4000; ++round) {
            // Even rounds make up bytes from nothing, odd ones damage the valid file a little:
            // each change puts up to two copies of a byte in place of up to eight bytes (an
            // insertion, a deletion or a change), and now and then the file is cut short.
            const bool madeUp = round % 2 == 0;
            QByteArray bytes = madeUp ? QByteArray() : valid;
            const int changes = madeUp ? int(random() % 300) : 1 + int(random() % 6);
            for (int c = 0; c < changes; ++c) {
                const auto at = static_cast<qsizetype>(random() % (bytes.size() + 1));
                const char any = random() % 3 == 0 ? static_cast<char>(random() % 256)
                                                   : alphabet[random() % (sizeof alphabet - 1)];
                const auto removed = static_cast<qsizetype>(madeUp ? 0 : random() % 9);
                bytes.replace(at, removed, QByteArray(qsizetype(random() % 3), any));
            }
            if (!madeUp && random() % 4 == 0) {
                bytes.truncate(static_cast<qsizetype>(random() % (bytes.size() + 1)));
            }
            Reader reader(bytes);
            Record r;
            std::int64_t last = reader.position();
            int handed = 0;
            while (reader.next(r)) {
                ++handed;
                QVERIFY2(handed <= bytes.size() + 1, "more records than bytes: the reader stalls");
                QVERIFY(reader.position() > last || reader.position() == reader.size());
                last = reader.position();
                QCOMPARE(r.number, handed);
                r.text(Field::Qth); // decoding any value is safe
            }
            QCOMPARE(reader.records(), handed);
            QCOMPARE(reader.position(), reader.size());
            QVERIFY(!reader.next(r));
        }
    }
};

QTEST_GUILESS_MAIN(AdifReaderTest)
#include "tst_adifreader.moc"
