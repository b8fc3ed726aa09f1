// Reading ADIF bytes: where writers differ, what a damaged file gives, and that no input,
// however arbitrary, crashes the reader, stalls it, or loses a record.

#include "adif/AdifFields.h"
#include "adif/AdifReader.h"

#include <QTest>

#include <random>

using namespace hm52::adif;

namespace {

// The records keep views into the bytes, which live as long as the result.
struct Read {
    QByteArray bytes;
    std::vector<Record> records;
    bool hadHeader = false;
};

Read readAll(const QByteArray& bytes) {
    Read out;
    out.bytes = bytes;
    Reader reader(out.bytes);
    Record r;
    while (reader.next(r)) {
        out.records.push_back(r);
    }
    out.hadHeader = reader.hadHeader();
    return out;
}

QString value(const Record& r, Field f) {
    return r.has(f) ? r.text(f) : QStringLiteral("<none>");
}

} // namespace

class AdifReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheFieldsOfEveryWritersLayout_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("header");
        const QByteArray record = "<CALL:5>I1ABC<QSO_DATE:8>20230115<QTH:4>ALFA<EOR>";
        QTest::newRow("no header") << record << false;
        QTest::newRow("header") << QByteArray("Made by hand\n<ADIF_VER:5>3.1.4\n<EOH>\n") + record
                                << true;
        QTest::newRow("byte-order mark, no header") << QByteArray("\xEF\xBB\xBF") + record << false;
        QTest::newRow("byte-order mark and header")
            << QByteArray("\xEF\xBB\xBFText\r\n<eoh>\r\n") + record << true;
        QTest::newRow("lower-case tags")
            << QByteArray("<call:5>I1ABC<qso_date:8>20230115<qth:4>ALFA<eor>") << false;
        QTest::newRow("type letters")
            << QByteArray("<CALL:5:S>I1ABC<QSO_DATE:8:D>20230115<QTH:4:s>ALFA<EOR>") << false;
        QTest::newRow("fields in another order with line ends")
            << QByteArray("<QTH:4>ALFA\r\n<QSO_DATE:8>20230115\n<CALL:5>I1ABC\r<EOR>\r\n") << false;
        QTest::newRow("header that starts with a tag")
            << QByteArray("<ADIF_VER:5>3.1.4<EOH>") + record << true;
        QTest::newRow("preamble without <EOH>") << QByteArray("Some notes\n") + record << false;
    }

    void readsTheFieldsOfEveryWritersLayout() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, header);
        const Read read = readAll(bytes);
        QCOMPARE(read.records.size(), size_t{1});
        const Record& r = read.records[0];
        QCOMPARE(r.error, QString());
        QCOMPARE(value(r, Field::Call), QStringLiteral("I1ABC"));
        QCOMPARE(value(r, Field::QsoDate), QStringLiteral("20230115"));
        QCOMPARE(value(r, Field::Qth), QStringLiteral("ALFA"));
        QCOMPARE(read.hadHeader, header);
    }

    void readsUtf8ValuesCountedInBytesOrInCharacters_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("qth");
        QTest::addColumn<bool>("chars");
        QTest::newRow("bytes") << QByteArray("<QTH:6>Citt\xC3\xA0 <CALL:1>X<EOR>")
                               << QStringLiteral("Città") << false;
        QTest::newRow("characters, cut")
            << QByteArray("<QTH:5>Citt\xC3\xA0 <CALL:1>X<EOR>") << QStringLiteral("Città") << true;
        QTest::newRow("characters, not cut") << QByteArray("<QTH:2>\xC3\x80"
                                                           "B<CALL:1>X<EOR>")
                                             << QStringLiteral("ÀB") << true;
        QTest::newRow("Latin-1 bytes")
            << QByteArray("<QTH:5>Citt\xE0<CALL:1>X<EOR>") << QStringLiteral("Città") << false;
    }

    void readsUtf8ValuesCountedInBytesOrInCharacters() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, qth);
        QFETCH(bool, chars);
        const Read read = readAll(bytes);
        QCOMPARE(read.records.size(), size_t{1});
        QCOMPARE(read.records[0].error, QString());
        QCOMPARE(value(read.records[0], Field::Qth), qth);
        QCOMPARE(value(read.records[0], Field::Call), QStringLiteral("X"));
        QCOMPARE(read.records[0].charsCounted, chars);
    }

    void reportsARecordItCannotReadAndGoesOn_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("length cuts a character either way")
            << QByteArray("<QTH:3>\xC3\x80\xC3\x88<CALL:1>X<EOR>")
            << QStringLiteral("the length 3 of QTH cuts a UTF-8 character");
        QTest::newRow("damaged tag")
            << QByteArray("<CALL:x>I1ABC<EOR>") << QStringLiteral("a damaged field tag <CALL:x");
        QTest::newRow("empty record") << QByteArray("<EOR>") << QStringLiteral("an empty record");
        QTest::newRow("header in a record") << QByteArray("<CALL:1>X<EOH>")
                                            << QStringLiteral("a header <EOH> stands where the "
                                                              "record's <EOR> should be");
    }

    void reportsARecordItCannotReadAndGoesOn() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const Read read = readAll(bytes + "<CALL:4>NEXT<EOR>");
        QCOMPARE(read.records.size(), size_t{2});
        QCOMPARE(read.records[0].error, error);
        QCOMPARE(read.records[0].number, 1);
        QCOMPARE(read.records[1].error, QString());
        QCOMPARE(value(read.records[1], Field::Call), QStringLiteral("NEXT"));
        QCOMPARE(read.records[1].number, 2);
    }

    void aFileCutOffInItsLastRecordReportsThatRecord_data() {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("error");
        QTest::newRow("before <EOR>") << QByteArray("<CALL:4>LAST<BAND:2>2m ")
                                      << QStringLiteral("the file ends before <EOR>");
        QTest::newRow("inside a value")
            << QByteArray("<CALL:4>LAST<BAND:4>2m") << QStringLiteral("the file ends inside BAND");
        QTest::newRow("inside a tag")
            << QByteArray("<CALL:4>LAST<BAN") << QStringLiteral("the file ends before <EOR>");
    }

    void aFileCutOffInItsLastRecordReportsThatRecord() {
        QFETCH(QByteArray, tail);
        QFETCH(QString, error);
        const Read read = readAll("<CALL:5>FIRST<EOR>\n" + tail);
        QCOMPARE(read.records.size(), size_t{2});
        QCOMPARE(read.records[1].error, error);
    }

    void blanksAndCommentsAfterTheLastRecordAreNoRecord() {
        QCOMPARE(readAll("<CALL:1>X<EOR>\r\n  end of log\r\n").records.size(), size_t{1});
        QCOMPARE(readAll("Header only\n<EOH>\n").records.size(), size_t{0});
        QCOMPARE(readAll("").records.size(), size_t{0});
    }

    void mapsBandsFrequenciesAndModes_data() {
        QTest::addColumn<QByteArray>("band");
        QTest::addColumn<QByteArray>("freq");
        QTest::addColumn<QString>("award");
        QTest::newRow("160m") << QByteArray("160m") << QByteArray() << "HF";
        QTest::newRow("10M") << QByteArray("10M") << QByteArray() << "HF";
        QTest::newRow("6m") << QByteArray("6m") << QByteArray() << "50 MHz";
        QTest::newRow("8m") << QByteArray("8m") << QByteArray() << "VHF";
        QTest::newRow("1.25m") << QByteArray("1.25m") << QByteArray() << "VHF";
        QTest::newRow("70cm") << QByteArray("70cm") << QByteArray() << "UHF";
        QTest::newRow("13cm") << QByteArray("13cm") << QByteArray() << "UHF";
        QTest::newRow("9cm") << QByteArray("9cm") << QByteArray() << "SHF";
        QTest::newRow("submm") << QByteArray("submm") << QByteArray() << "SHF";
        QTest::newRow("630m") << QByteArray("630m") << QByteArray() << "";
        QTest::newRow("freq 7.074") << QByteArray() << QByteArray("7.074") << "HF";
        QTest::newRow("freq 50.313") << QByteArray() << QByteArray("50.313") << "50 MHz";
        QTest::newRow("freq 144.300") << QByteArray() << QByteArray("144.300") << "VHF";
        QTest::newRow("freq 1296.2") << QByteArray() << QByteArray("1296.2") << "UHF";
        QTest::newRow("freq 10368.1") << QByteArray() << QByteArray("10368.1") << "SHF";
        QTest::newRow("freq outside bands") << QByteArray() << QByteArray("12.5") << "";
        QTest::newRow("freq not a number") << QByteArray() << QByteArray("abc") << "";
    }

    void mapsBandsFrequenciesAndModes() {
        QFETCH(QByteArray, band);
        QFETCH(QByteArray, freq);
        QFETCH(QString, award);
        const std::string name = band.isEmpty()
                                     ? adifBandOfFrequency(freq.toStdString()).toStdString()
                                     : band.toStdString();
        QCOMPARE(awardBandOfBand(name), award);
    }

    void mapsModesToTheAwardsFour_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QByteArray>("submode");
        QTest::addColumn<QString>("award");
        QTest::newRow("SSB USB") << QByteArray("SSB") << QByteArray("USB") << "SSB";
        QTest::newRow("cw") << QByteArray("cw") << QByteArray() << "CW";
        QTest::newRow("FT8") << QByteArray("FT8") << QByteArray() << "DIGITAL";
        QTest::newRow("MFSK FT4") << QByteArray("MFSK") << QByteArray("FT4") << "DIGITAL";
        QTest::newRow("MFSK JS8") << QByteArray("MFSK") << QByteArray("JS8") << "DIGITAL";
        QTest::newRow("RTTY") << QByteArray("RTTY") << QByteArray() << "DIGITAL";
        QTest::newRow("PSK PSK31") << QByteArray("PSK") << QByteArray("PSK31") << "DIGITAL";
        QTest::newRow("OLIVIA") << QByteArray("OLIVIA") << QByteArray() << "DIGITAL";
        QTest::newRow("AM") << QByteArray("AM") << QByteArray() << "MIXED";
        QTest::newRow("FM") << QByteArray("FM") << QByteArray() << "MIXED";
        QTest::newRow("DIGITALVOICE") << QByteArray("DIGITALVOICE") << QByteArray("DMR") << "MIXED";
        QTest::newRow("missing") << QByteArray() << QByteArray() << "MIXED";
        // Older writers put a data mode's submode in MODE on its own.
        QTest::newRow("PSK63F") << QByteArray("PSK63F") << QByteArray() << "DIGITAL";
        QTest::newRow("JT65A") << QByteArray("JT65A") << QByteArray() << "DIGITAL";
        QTest::newRow("OLIVIA 8/500") << QByteArray("OLIVIA 8/500") << QByteArray() << "DIGITAL";
        QTest::newRow("VARA HF") << QByteArray("VARA HF") << QByteArray() << "DIGITAL";
        QTest::newRow("submode only") << QByteArray() << QByteArray("QPSK63") << "DIGITAL";
        QTest::newRow("C4FM") << QByteArray("C4FM") << QByteArray() << "MIXED";
        QTest::newRow("SSTV") << QByteArray("SSTV") << QByteArray() << "MIXED";
    }

    void mapsModesToTheAwardsFour() {
        QFETCH(QByteArray, mode);
        QFETCH(QByteArray, submode);
        QFETCH(QString, award);
        QCOMPARE(awardModeOf(mode.toStdString(), submode.toStdString()), award);
    }

    void findsSubSquaresOnlyInsideTheAwardSquare_data() {
        QTest::addColumn<QByteArray>("grid");
        QTest::addColumn<QString>("letters");
        QTest::newRow("6 characters") << QByteArray("HM52AB") << "AB";
        QTest::newRow("lower case") << QByteArray("hm52xx") << "XX";
        QTest::newRow("8 characters") << QByteArray("HM52MN34") << "MN";
        QTest::newRow("4 characters") << QByteArray("HM52") << "";
        QTest::newRow("letter beyond X") << QByteArray("HM52AY") << "";
        QTest::newRow("elsewhere") << QByteArray("JN45AB") << "";
        QTest::newRow("empty") << QByteArray() << "";
    }

    void findsSubSquaresOnlyInsideTheAwardSquare() {
        QFETCH(QByteArray, grid);
        QFETCH(QString, letters);
        QCOMPARE(subSquareOf(grid.toStdString()), letters);
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
            QByteArray bytes;
            if (round % 2 == 0) {
                const int size = static_cast<int>(random() % 300);
                for (int i = 0; i < size; ++i) {
                    bytes += (random() % 3 == 0) ? static_cast<char>(random() % 256)
                                                 : alphabet[random() % (sizeof alphabet - 1)];
                }
            } else {
                bytes = valid;
                const int changes = 1 + static_cast<int>(random() % 6);
                for (int c = 0; c < changes && !bytes.isEmpty(); ++c) {
                    const auto at = static_cast<qsizetype>(random() % bytes.size());
                    switch (random() % 4) {
                    case 0:
                        bytes[at] = static_cast<char>(random() % 256);
                        break;
                    case 1:
                        bytes.remove(at, 1 + static_cast<qsizetype>(random() % 8));
                        break;
                    case 2:
                        bytes.insert(at, alphabet[random() % (sizeof alphabet - 1)]);
                        break;
                    default:
                        bytes.truncate(at);
                        break;
                    }
                }
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
                QVERIFY(r.offset >= 0 && r.offset <= bytes.size());
                for (const Value& v : r.values) {
                    if (v.present) {
                        QVERIFY(v.data >= bytes.constData());
                        QVERIFY(v.data + v.size <= bytes.constData() + bytes.size());
                    }
                }
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
