#include "app/WindowRegistry.h"

#include "adif/frmImportADIF.h"
#include "app/frmAbout.h"
#include "app/frmRestoreBackup.h"
#include "award/frmAE.h"
#include "award/frmAward.h"
#include "award/frmBAR.h"
#include "browser/frmUtility.h"
#include "map/frmMap.h"
#include "needed/frmNeeded.h"
#include "operator/frmUserData.h"
#include "places/frmFindPlaces.h"
#include "qso/frmEditQSO.h"
#include "qso/frmInsertQSO.h"
#include "rig/RigControl.h"
#include "rigwindow/frmRig.h"
#include "ui/Form.h"
#include "ui/Services.h"

#include <stdexcept>

namespace hm52 {

WindowRegistry::WindowRegistry(Services& services) : s_(services) {}

WindowRegistry::~WindowRegistry() {
    // The program ends: windows go without their unload handlers.
    for (auto& window : windows_) {
        delete window.data();
    }
}

WindowContract* WindowRegistry::create(Window w) {
    // No default: a window without its case here does not build.
    switch (w) {
    case Window::InsertQSO:
        return new frmInsertQSO(s_, *this);
    case Window::EditQSO:
        return new frmEditQSO(s_, *this);
    case Window::Utility:
        return new frmUtility(s_, *this);
    case Window::Award:
        return new frmAward(s_, *this);
    case Window::BAR:
        return new frmBAR(s_, *this);
    case Window::AE:
        return new frmAE(s_, *this);
    case Window::UserData:
        return new frmUserData(s_, *this);
    case Window::FindPlaces:
        return new frmFindPlaces(s_, *this);
    case Window::About:
        return new frmAbout(s_, *this);
    case Window::Map:
        return new frmMap(s_, *this);
    case Window::ImportADIF:
        return new frmImportADIF(s_, *this);
    case Window::ImportReport:
        return new frmImportReport(s_, *this);
    case Window::RestoreBackup:
        return new frmRestoreBackup(s_, *this);
    case Window::Rig:
        return new frmRig(s_, *this);
    case Window::Needed:
        return new frmNeeded(s_, *this);
    case Window::Count:
        break;
    }
    throw std::out_of_range("no such window");
}

QWidget* WindowRegistry::loaded(Window w) const {
    return windows_.at(static_cast<size_t>(w));
}

QWidget& WindowRegistry::load(Window w) {
    auto& slot = windows_.at(static_cast<size_t>(w));
    if (slot) {
        return *slot;
    }
    WindowContract* made = create(w);
    QWidget& window = made->widget();
    slot = &window;
    placement_.manage(&window); // whole on the screen whenever it shows
    // The close box unloads the window: forget it at once, so the next use loads anew.
    made->whenUnloaded([this, index = static_cast<size_t>(w), &window]() {
        if (windows_.at(index) == &window) {
            windows_.at(index) = nullptr;
        }
    });
    try {
        made->Form_Load();
        if (auto* qso = qobject_cast<QsoForm*>(&window)) {
            followTheRig(*qso);
        }
    } catch (...) {
        // A load that fails leaves no half-loaded window behind.
        slot = nullptr;
        delete made;
        throw;
    }
    return window;
}

void WindowRegistry::followTheRig(QsoForm& form) {
    if (s_.rig == nullptr) {
        return;
    }
    // Every reading of the rig reaches the form, shown or hidden, until the form goes; a rig
    // that stops answering only changes the state line, and the form keeps what it holds.
    connect(s_.rig, &rig::RigControl::readingChanged, &form, &QsoForm::followRig);
    connect(s_.rig, &rig::RigControl::stateTextChanged, &form, &QsoForm::setRigState);
    // No line at all for a station that never asked for a rig.
    if (s_.rig->state() != rig::RigControl::State::NotConnected) {
        form.setRigState(s_.rig->stateText());
    }
    if (s_.rig->state() == rig::RigControl::State::Connected) {
        form.followRig(s_.rig->reading().hz, s_.rig->reading().mode);
    }
}

void WindowRegistry::show(Window w) {
    QWidget& window = load(w);
    window.show();
    window.raise();
    window.activateWindow();
}

frmInsertQSO& WindowRegistry::insertQSO() {
    return windowOf<frmInsertQSO>(*this, Window::InsertQSO);
}
frmEditQSO& WindowRegistry::editQSO() {
    return windowOf<frmEditQSO>(*this, Window::EditQSO);
}
frmUtility& WindowRegistry::utility() {
    return windowOf<frmUtility>(*this, Window::Utility);
}
frmAward& WindowRegistry::award() {
    return windowOf<frmAward>(*this, Window::Award);
}
frmBAR& WindowRegistry::bar() {
    return windowOf<frmBAR>(*this, Window::BAR);
}
frmAE& WindowRegistry::ae() {
    return windowOf<frmAE>(*this, Window::AE);
}
frmUserData& WindowRegistry::userData() {
    return windowOf<frmUserData>(*this, Window::UserData);
}
frmFindPlaces& WindowRegistry::findPlaces() {
    return windowOf<frmFindPlaces>(*this, Window::FindPlaces);
}
frmAbout& WindowRegistry::about() {
    return windowOf<frmAbout>(*this, Window::About);
}
frmMap& WindowRegistry::map() {
    return windowOf<frmMap>(*this, Window::Map);
}
frmRig& WindowRegistry::rigWindow() {
    return windowOf<frmRig>(*this, Window::Rig);
}
frmNeeded& WindowRegistry::needed() {
    return windowOf<frmNeeded>(*this, Window::Needed);
}

void WindowRegistry::showAny() {
    utility().showAny();
}

void WindowRegistry::conta() {
    award().conta();
    if (auto* shown = qobject_cast<frmMap*>(loaded(Window::Map))) {
        runHandler(s_, shown, [shown]() { shown->refresh(); });
    }
    if (auto* list = qobject_cast<frmNeeded*>(loaded(Window::Needed))) {
        runHandler(s_, list, [list]() { list->refresh(); });
    }
    showBrings();
    Q_EMIT counted();
}

void WindowRegistry::showBrings() {
    for (const Window form : {Window::InsertQSO, Window::EditQSO}) {
        if (auto* qso = qobject_cast<QsoForm*>(loaded(form))) {
            qso->showBrings();
        }
    }
}

void WindowRegistry::logReplaced() {
    if (auto* browser = qobject_cast<frmUtility*>(loaded(Window::Utility))) {
        runHandler(s_, browser, [browser]() { browser->showAny(); });
    }
    // A window that counts the log is loaded: the whole chain runs, as after a change.
    QWidget* counting = nullptr;
    for (const Window w : {Window::Award, Window::Map, Window::Needed}) {
        counting = counting != nullptr ? counting : loaded(w);
    }
    if (counting != nullptr) {
        runHandler(s_, counting, [this]() { conta(); });
    } else {
        showBrings();
    }
    if (auto* user = qobject_cast<frmUserData*>(loaded(Window::UserData))) {
        runHandler(s_, user, [user]() { user->ShowUserData(); });
    }
}

BrowserTerms& WindowRegistry::browserTerms() {
    return terms_;
}
int& WindowRegistry::editCount() {
    return editCount_;
}

} // namespace hm52
