#include "award/frmBAR.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmBAR::frmBAR(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmBAR"));
    setWindowTitle(QStringLiteral("Base Award Request Italian Rules"));
}

void frmBAR::Form_Load() {}

} // namespace hm52
