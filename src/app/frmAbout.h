#pragma once

#include <QDialog>
#include <QString>

class QFrame;
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

    // The sponsor's web page, shown after "Site: " and opened by the link.
    static QString siteAddress();

    void cmdOK_Click();
    void Label2_Click();

Q_SIGNALS:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc presses OK.
    void reject() override;

private:
    Services& s;
    QLabel* Picture2 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblFreeware = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace hm52
