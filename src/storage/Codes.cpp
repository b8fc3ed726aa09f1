#include "storage/Codes.h"

namespace hm52::codes {

const QStringList& bands() {
    static const QStringList list{QStringLiteral("HF"),  QStringLiteral("50 MHz"),
                                  QStringLiteral("VHF"), QStringLiteral("UHF"),
                                  QStringLiteral("SHF"), QStringLiteral("SAT")};
    return list;
}

const QStringList& modes() {
    static const QStringList list{QStringLiteral("MIXED"), QStringLiteral("SSB"),
                                  QStringLiteral("CW"), QStringLiteral("DIGITAL")};
    return list;
}

const QStringList& provinces() {
    static const QStringList list{
        QStringLiteral("BD"), QStringLiteral("CV"), QStringLiteral("LM"),
        QStringLiteral("MV"), QStringLiteral("RV"), QStringLiteral("SD"),
        QStringLiteral("TD"), QStringLiteral("VD"), QStringLiteral("VLT")};
    return list;
}

} // namespace hm52::codes
