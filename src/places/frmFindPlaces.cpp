#include "places/frmFindPlaces.h"

#include "app/Services.h"
#include "app/WindowRegistry.h"

namespace hm52 {

frmFindPlaces::frmFindPlaces(Services& services, WindowRegistry& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmFindPlaces"));
    setWindowTitle(QStringLiteral("Find on Places Database"));
}

void frmFindPlaces::Form_Load() {}

} // namespace hm52
