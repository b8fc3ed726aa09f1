#pragma once

#include "ui/Placement.h"
#include "ui/Windows.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

namespace hm52 {

struct Services;
class WindowContract;
class QsoForm;
class frmInsertQSO;
class frmEditQSO;
class frmUtility;
class frmAward;
class frmBAR;
class frmAE;
class frmUserData;
class frmFindPlaces;
class frmAbout;
class frmMap;
class frmRig;
class frmNeeded;

// Creates and keeps every window of the program, at most one instance of each: creates and
// loads it on first use, forgets it when its close box unloads it. The refresh chain goes
// through here and loads its target hidden when it is not loaded.
class WindowRegistry final : public QObject, public Windows {
    Q_OBJECT
public:
    explicit WindowRegistry(Services& services);
    ~WindowRegistry() override;

    QWidget& load(Window w) override;
    QWidget* loaded(Window w) const override;
    void show(Window w) override;

    void showAny() override;
    // The counter recounts; a loaded map redraws, a loaded Needed list reads the log again
    // and the QSO forms' lines say anew what their sub-square brings.
    void conta() override;
    void logReplaced() override;

    BrowserTerms& browserTerms() override;
    int& editCount() override;

    // The main window, from which the other windows are placed on its screen.
    void setMainWindow(QWidget* main) { placement_.setMainWindow(main); }

    frmInsertQSO& insertQSO();
    frmEditQSO& editQSO();
    frmUtility& utility();
    frmAward& award();
    frmBAR& bar();
    frmAE& ae();
    frmUserData& userData();
    frmFindPlaces& findPlaces();
    frmAbout& about();
    frmMap& map();
    frmRig& rigWindow();
    frmNeeded& needed();

Q_SIGNALS:
    // After every recount of the refresh chain.
    void counted();

private:
    // A new window of the kind, not loaded.
    WindowContract* create(Window w);
    // A QSO form follows the station's rig: its frequency and mode, and its state.
    void followTheRig(QsoForm& form);
    // The QSO forms say anew what their sub-square brings.
    void showBrings();

    Services& s_;
    WindowPlacement placement_;
    std::array<QPointer<QWidget>, windowCount> windows_;
    BrowserTerms terms_;
    int editCount_ = 0;
};

} // namespace hm52
