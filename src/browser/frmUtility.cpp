#include "browser/frmUtility.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmUtility::frmUtility(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmUtility"));
    setWindowTitle(QStringLiteral("Utility QSO"));
}

void frmUtility::Form_Load() {}

void frmUtility::showAny() {}

} // namespace hm52
