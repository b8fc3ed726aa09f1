#include "award/frmAward.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmAward::frmAward(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmAward"));
    setWindowTitle(QStringLiteral("Award Italian Rules"));
}

void frmAward::Form_Load() {}

void frmAward::conta() {}

} // namespace hm52
