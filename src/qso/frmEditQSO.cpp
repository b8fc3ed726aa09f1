#include "qso/frmEditQSO.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmEditQSO::frmEditQSO(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmEditQSO"));
    setWindowTitle(QStringLiteral("Edit QSO"));
}

void frmEditQSO::Form_Load() {}

void frmEditQSO::cancella() {}

} // namespace hm52
