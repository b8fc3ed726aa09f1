// The one map between exact bands and modes and the award's categories: what each exact value
// belongs to, what the form lists for each category, how writers' modes pair as ADIF has them,
// what a rig's mode means, and how frequencies are read and shown.

#include "rules/Radio.h"
#include "storage/Codes.h"

#include <QTest>

using namespace hm52::rules;
using namespace Qt::StringLiterals;

namespace {

// "MODE/SUBMODE" of a mode, "-" for none.
QString pair(const radio::Mode& m) {
    return m.isEmpty() ? u"-"_s : m.mode + u'/' + m.submode;
}

// Rows "given=expected;..." as a data table of two text columns.
void rows(const char* kind, const char* list) {
    for (const QString& row : QString::fromUtf8(list).split(u';')) {
        QTest::addRow("%s %s", kind, qPrintable(row))
            << QString::fromLatin1(kind) << row.section(u'=', 0, 0) << row.section(u'=', 1);
    }
}

} // namespace

class RadioTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What a file or the operator gives, and what the award (or ADIF) makes of it ("" for
    // nothing); modes as "mode+submode".
    void exactValuesMapToTheirCategories_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        rows("band", "10M=HF;6m=50 MHz;70cm=UHF;9cm=SHF;630m=;40 m=");
        rows("frequency", "7.074=40m;144.300=2m;12.5=");
        // Older writers put a data mode's submode in MODE on its own.
        rows("mode",
             "SSB+USB=SSB;cw=CW;FT8=DIGITAL;PSK63F=DIGITAL;+QPSK63=DIGITAL;FM=MIXED;=MIXED");
        rows("adif",
             "usb=SSB/USB;MFSK+FT4=MFSK/FT4;+FT4=MFSK/FT4;FT8=FT8/; rtty =RTTY/;+ODD=ODD/;=-");
        rows("rig", "lsb=SSB SSB/LSB;CW=CW CW/;FM=MIXED FM/;PKTUSB=DIGITAL -;IQ=-");
        rows("typed", "144.3=144.300;7,0355=7.0355;14.07400=14.074;145=145.000;-1=;1.2.3=;0=;.=");
    }

    void exactValuesMapToTheirCategories() {
        QFETCH(QString, kind);
        QFETCH(QString, given);
        QFETCH(QString, expected);
        const std::string first = given.section(u'+', 0, 0).toStdString();
        const std::string second = given.section(u'+', 1).toStdString();
        QString mapped;
        if (kind == u"band"_s) {
            mapped = radio::categoryOfBand(first);
        } else if (kind == u"frequency"_s) {
            mapped = radio::bandOfFrequency(given.toDouble());
        } else if (kind == u"mode"_s) {
            mapped = radio::categoryOfMode(first, second);
        } else if (kind == u"adif"_s) {
            mapped = pair(radio::adifMode(first, second));
        } else if (kind == u"rig"_s) {
            const radio::RigMode rig = radio::fromRig(given);
            mapped = rig.category.isEmpty() ? u"-"_s : rig.category + u' ' + pair(rig.exact);
        } else {
            double mhz = 0;
            mapped = radio::readFrequency(given, &mhz) ? radio::frequencyText(mhz) : QString();
        }
        QCOMPARE(mapped, expected);
    }

    // Every exact band and mode the form lists for a category belongs to it, and every mode
    // of its category is listed; MIXED lists every mode; satellites keep their own bands.
    void eachCategoryListsExactlyTheValuesThatFitIt() {
        const auto& all = radio::modesOf(u"MIXED"_s);
        QVERIFY(all.size() > 30);
        for (const QString& category : hm52::codes::modes()) {
            qsizetype fitting = 0;
            for (const radio::Mode& m : all) {
                const bool listed = std::ranges::count(radio::modesOf(category), m) == 1;
                QCOMPARE(listed, radio::modeFits(category, m));
                QCOMPARE(listed, category == u"MIXED"_s || radio::categoryOfMode(m) == category);
                fitting += listed ? 1 : 0;
            }
            QCOMPARE(fitting, qsizetype(radio::modesOf(category).size()));
        }
        for (const QString& category : hm52::codes::bands()) {
            QVERIFY(!radio::bandsOf(category).isEmpty());
            for (const QString& band : radio::bandsOf(category)) {
                QVERIFY(radio::bandFits(category, band));
                if (category != u"SAT"_s) {
                    QCOMPARE(radio::categoryOfBand(band), category);
                }
            }
        }
        QCOMPARE(radio::bandsOf(u"SAT"_s), QStringList({"15m", "10m", "2m", "70cm", "23cm", "13cm",
                                                        "9cm", "6cm", "3cm", "1.25cm"}));
        QVERIFY(!radio::bandFits(u"SAT"_s, u"20m"_s) && !radio::bandFits(u"HF"_s, u"2190m"_s));
    }
};

QTEST_MAIN(RadioTest)
#include "tst_radio.moc"
