#include "qso/frmInsertQSO.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmInsertQSO::frmInsertQSO(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmInsertQSO"));
    setWindowTitle(QStringLiteral("Insert QSO"));
}

void frmInsertQSO::Form_Load() {}

void frmInsertQSO::cancella() {}

} // namespace hm52
