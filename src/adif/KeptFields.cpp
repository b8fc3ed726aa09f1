#include "adif/KeptFields.h"

namespace hm52::adif::kept {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return hm52::kept::sameName(a, b);
}

bool startsWithName(std::string_view name, std::string_view prefix) {
    return name.size() >= prefix.size() && sameName(name.substr(0, prefix.size()), prefix);
}

} // namespace

void Keeper::setRow(const LogRow& row) {
    written_.clear();
    fieldsOfRow(row, *this);
    exactBand_ = !row.exactBand.isEmpty();
    exactFreq_ = row.freq > 0;
    exactMode_ = !row.exactMode.isEmpty();
}

void Keeper::field(std::string_view name, QByteArrayView value, char /*type*/) {
    written_.push_back({name, value.toByteArray()});
}

void Keeper::keep(std::string_view name, char type, std::string_view value, QByteArray& out) const {
    if (startsWithName(name, "APP_HM52_") || sameName(name, "CALL") || sameName(name, "QSL_RCVD")) {
        return;
    }
    if ((exactBand_ && sameName(name, "BAND")) || (exactFreq_ && sameName(name, "FREQ")) ||
        (exactMode_ && (sameName(name, "MODE") || sameName(name, "SUBMODE")))) {
        return;
    }
    const QByteArrayView bytes(value.data(), static_cast<qsizetype>(value.size()));
    for (const Written& w : written_) {
        if (sameName(name, w.name) && w.value == bytes) {
            return;
        }
    }
    // Names are short: upper case on the stack.
    char upper[64];
    if (name.size() > sizeof upper) {
        const QByteArray longName =
            QByteArray(name.data(), static_cast<qsizetype>(name.size())).toUpper();
        appendField(out, std::string_view(longName.constData(), longName.size()), bytes, type);
        return;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    appendField(out, std::string_view(upper, name.size()), bytes, type);
}

} // namespace hm52::adif::kept
