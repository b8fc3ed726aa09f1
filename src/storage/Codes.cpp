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

namespace {
struct Figures {
    int base;
    int endorsement;
};

Figures figures(const QString& band) {
    static const int base[] = {75, 30, 30, 20, 10, 10};
    static const int endorsement[] = {25, 10, 10, 5, 5, 5};
    const auto at = bands().indexOf(band);
    if (at < 0) {
        return {0, 0};
    }
    return {base[at], endorsement[at]};
}
} // namespace

int baseFigure(const QString& band) {
    return figures(band).base;
}
int endorsementFigure(const QString& band) {
    return figures(band).endorsement;
}

} // namespace hm52::codes
