#include "app/WindowRegistry.h"

#include "app/Services.h"
#include "app/frmAbout.h"
#include "award/frmAE.h"
#include "award/frmAward.h"
#include "award/frmBAR.h"
#include "browser/BrowserTerms.h"
#include "browser/frmUtility.h"
#include "operator/frmUserData.h"
#include "places/frmFindPlaces.h"
#include "qso/frmEditQSO.h"
#include "qso/frmInsertQSO.h"

#include <vector>

namespace hm52 {

struct WindowRegistry::Persistent {
    BrowserTerms terms;
    int editCount = 0;
    std::vector<std::function<void()>> listeners;
};

WindowRegistry::WindowRegistry(Services& services)
    : s_(services), persistent_(std::make_unique<Persistent>()) {}

WindowRegistry::~WindowRegistry() {
    // The program ends: windows go without their unload handlers.
    for (auto& window : windows_) {
        delete window.data();
    }
}

namespace {
template <class W> W* made(Services& s, WindowRegistry& r) {
    auto* w = new W(s, r);
    return w;
}
} // namespace

QWidget* WindowRegistry::create(Window w) {
    switch (w) {
    case Window::InsertQSO:
        return made<frmInsertQSO>(s_, *this);
    case Window::EditQSO:
        return made<frmEditQSO>(s_, *this);
    case Window::Utility:
        return made<frmUtility>(s_, *this);
    case Window::Award:
        return made<frmAward>(s_, *this);
    case Window::BAR:
        return made<frmBAR>(s_, *this);
    case Window::AE:
        return made<frmAE>(s_, *this);
    case Window::UserData:
        return made<frmUserData>(s_, *this);
    case Window::FindPlaces:
        return made<frmFindPlaces>(s_, *this);
    case Window::About:
        return made<frmAbout>(s_, *this);
    }
    return nullptr;
}

QWidget* WindowRegistry::loaded(Window w) const {
    return windows_.at(static_cast<size_t>(w));
}

QWidget& WindowRegistry::load(Window w) {
    auto& slot = windows_.at(static_cast<size_t>(w));
    if (slot) {
        return *slot;
    }
    QWidget* window = create(w);
    slot = window;
    // The close box unloads the window: forget it at once, so the next use loads anew.
    const auto index = static_cast<size_t>(w);
    auto forget = [this, index, window]() {
        if (windows_.at(index) == window) {
            windows_.at(index) = nullptr;
        }
    };
    if (auto* form = qobject_cast<Form*>(window)) {
        connect(form, &Form::unloaded, this, forget);
        form->Form_Load();
    } else if (auto* about = qobject_cast<frmAbout*>(window)) {
        connect(about, &frmAbout::unloaded, this, forget);
        about->Form_Load();
    }
    return *window;
}

void WindowRegistry::show(Window w) {
    QWidget& window = load(w);
    window.show();
    window.raise();
    window.activateWindow();
}

frmInsertQSO& WindowRegistry::insertQSO() {
    return static_cast<frmInsertQSO&>(load(Window::InsertQSO));
}
frmEditQSO& WindowRegistry::editQSO() {
    return static_cast<frmEditQSO&>(load(Window::EditQSO));
}
frmUtility& WindowRegistry::utility() {
    return static_cast<frmUtility&>(load(Window::Utility));
}
frmAward& WindowRegistry::award() {
    return static_cast<frmAward&>(load(Window::Award));
}
frmBAR& WindowRegistry::bar() {
    return static_cast<frmBAR&>(load(Window::BAR));
}
frmAE& WindowRegistry::ae() {
    return static_cast<frmAE&>(load(Window::AE));
}
frmUserData& WindowRegistry::userData() {
    return static_cast<frmUserData&>(load(Window::UserData));
}
frmFindPlaces& WindowRegistry::findPlaces() {
    return static_cast<frmFindPlaces&>(load(Window::FindPlaces));
}
frmAbout& WindowRegistry::about() {
    return static_cast<frmAbout&>(load(Window::About));
}

void WindowRegistry::showAny() {
    utility().showAny();
}

void WindowRegistry::conta() {
    award().conta();
    for (const auto& listener : persistent_->listeners) {
        listener();
    }
}

void WindowRegistry::onLogChanged(std::function<void()> listener) {
    persistent_->listeners.push_back(std::move(listener));
}

BrowserTerms& WindowRegistry::browserTerms() {
    return persistent_->terms;
}
int& WindowRegistry::editCount() {
    return persistent_->editCount;
}

} // namespace hm52
