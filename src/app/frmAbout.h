#pragma once

#include "ui/Form.h"

#include <QString>

class QFrame;
class QLabel;
class QPushButton;

namespace hm52 {

// "about HM52": version, credits and the sponsor's web page.
class frmAbout : public FormDialog {
    Q_OBJECT
public:
    frmAbout(Services& services, Windows& windows);

    // The sponsor's web page, shown after "Site: " and opened by the link.
    static QString siteAddress();

    void cmdOK_Click();
    void Label2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc presses OK.
    void reject() override;

private:
    QLabel* Picture2 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblFreeware = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace hm52
