#include "operator/frmUserData.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmUserData::frmUserData(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmUserData"));
    setWindowTitle(QStringLiteral("User Data"));
}

void frmUserData::Form_Load() {}

} // namespace hm52
