#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace hm52 {

struct Services;
class WindowRegistry;

// "about HM52": version, credits and the sponsor's web page.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(Services& services, WindowRegistry& registry);
    void Form_Load() {}

    void cmdOK_Click();
    void Label2_Click();

Q_SIGNALS:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    Services& s;
};

} // namespace hm52
