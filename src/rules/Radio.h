#pragma once

#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

// The one map between a QSO's exact band and mode (as ADIF names them: "20m", "2m", "70cm";
// "SSB"/"USB", "MFSK"/"FT4", "FM") and the award's categories (bands "HF", "50 MHz", "VHF",
// "UHF", "SHF", "SAT"; modes "MIXED", "SSB", "CW", "DIGITAL"), and what a rig's mode means to
// them. The QSO form, the importer, the exporter and the sample log all ask here.
namespace hm52::rules::radio {

// ---------------------------------------------------------------------------------------
// Bands

// The exact bands of a category, in frequency order. SAT: the bands satellites use (a
// satellite QSO's band is its uplink's, as ADIF has it). None for a text that is no category.
const QStringList& bandsOf(const QString& category);

// The category of an ADIF band name in any letter case ("20m" -> "HF", "6M" -> "50 MHz");
// empty for the bands below 160 m, which the award does not count, and for a name that is
// no band. `known` tells whether the name is an ADIF band at all. (Never "SAT": satellites
// are told by the record, not by the band.)
QString categoryOfBand(std::string_view band, bool* known = nullptr);
QString categoryOfBand(const QString& band);

// The ADIF band name as ADIF writes it ("2M" -> "2m"); empty when the name is no band.
QString bandName(std::string_view band);

// The ADIF band of a frequency in MHz; empty when it lies in none.
QString bandOfFrequency(double mhz);

// The edges of a band in MHz; false when the name is no band.
bool edgesOf(const QString& band, double* low, double* high);

// The single exact band of a category that has only one ("50 MHz" -> "6m"); else empty.
QString onlyBandOf(const QString& category);

// Whether an exact band belongs to a category (to SAT: when satellites use it). An empty band
// fits every category.
bool bandFits(const QString& category, const QString& band);

// ---------------------------------------------------------------------------------------
// Modes

// An exact mode as ADIF writes it: MODE and SUBMODE, upper case ("SSB" and "USB", "FT8" and
// no submode).
struct Mode {
    QString mode;
    QString submode;

    bool isEmpty() const { return mode.isEmpty() && submode.isEmpty(); }
    // As the operator knows it: the submode when there is one ("USB", "FT4"), else the mode.
    QString shown() const { return submode.isEmpty() ? mode : submode; }
    friend bool operator==(const Mode&, const Mode&) = default;
};

// The exact modes the QSO form lists for a category. MIXED: every mode; SSB, CW and DIGITAL
// those whose category they are. None for a text that is no category.
const std::vector<Mode>& modesOf(const QString& category);

// The category of an ADIF mode and submode, in any letter case: SSB for SSB (USB and LSB too),
// CW, DIGITAL for the data modes (and the names older writers gave some of them: PSK63F,
// JT65A, OLIVIA 8/500...), MIXED for every other mode (AM, FM, digital voice, images) and
// for a mode that is unknown or missing.
QString categoryOfMode(std::string_view mode, std::string_view submode);
QString categoryOfMode(const Mode& mode);

// Whether an exact mode belongs to a category: MIXED takes every mode. An empty mode fits
// every category.
bool modeFits(const QString& category, const Mode& mode);

// A mode as writers put it, as ADIF 3.1 pairs it: "usb" -> SSB/USB, "FT4" -> MFSK/FT4,
// "PSK31" -> PSK/PSK31; a submode alone gets its mode; a MODE and SUBMODE already given stay
// as they are, upper case and trimmed.
Mode adifMode(std::string_view mode, std::string_view submode = {});

// ---------------------------------------------------------------------------------------
// The rig

// What a rig's mode says: the category to select, and the exact mode when the rig names one.
// An empty category: the rig's mode says nothing (unknown, or no mode of a QSO).
struct RigMode {
    QString category;
    Mode exact;
};

// A mode as Hamlib names it ("USB", "CWR", "PKTUSB"...): USB and LSB are SSB, CW and CWR are
// CW, AM and FM are MIXED with their exact mode, RTTY is DIGITAL; a data mode whose exact mode
// the rig cannot name (PKTUSB, PKTLSB, PKTFM...) is DIGITAL with no exact mode.
RigMode fromRig(const QString& hamlibMode);

// ---------------------------------------------------------------------------------------
// Frequencies

// A frequency in MHz as typed: digits with at most one decimal point (or comma), above 0.
// False for anything else.
bool readFrequency(const QString& text, double* mhz);

// A frequency as the form shows it: every digit it has, at least three decimals ("144.300",
// "7.0355").
QString frequencyText(double mhz);

} // namespace hm52::rules::radio
