#include "award/frmAE.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmAE::frmAE(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmAE"));
    setWindowTitle(QStringLiteral("Award Endorsment Italian Rules"));
}

void frmAE::Form_Load() {}

} // namespace hm52
