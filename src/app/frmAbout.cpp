#include "app/frmAbout.h"

#include "app/Services.h"

#include <QCloseEvent>

namespace hm52 {

frmAbout::frmAbout(Services& services, WindowRegistry& /*registry*/) : s(services) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("about HM52"));
}

void frmAbout::cmdOK_Click() {
    hide();
}

void frmAbout::Label2_Click() {}

void frmAbout::reject() {
    cmdOK_Click();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    Q_EMIT unloaded();
    deleteLater();
}

} // namespace hm52
