#include "ui/Form.h"

#include "ui/Services.h"

#include <QCloseEvent>

namespace hm52 {

namespace {
// How many handlers are running, one inside another.
int running = 0;
} // namespace

void runHandler(Services& s, QWidget* parent, const std::function<void()>& handler) {
    // Back to the event loop, however the handler ends: no cursor that it left open may keep
    // a lock on the log until the operator's next action.
    struct Outermost {
        Module1& m;
        explicit Outermost(Module1& module) : m(module) { ++running; }
        ~Outermost() {
            if (--running == 0) {
                m.releaseCursors();
            }
        }
        Outermost(const Outermost&) = delete;
        Outermost& operator=(const Outermost&) = delete;
    } scope(s.m);
    try {
        handler();
    } catch (const Failure& e) {
        s.dialogs.tell(parent, e.text(), Icon::Critical);
    }
}

QFont windowFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

QFont listFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(8.25);
    return font;
}

void WindowContract::unloadOnClose(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    unloading_ = true;
    Form_Unload();
    event->accept();
    self_.hide();
    if (unloaded_) {
        unloaded_();
    }
    self_.deleteLater();
}

Form::Form(Services& services, Windows& windows) : WindowContract(*this, services, windows) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void Form::closeEvent(QCloseEvent* event) {
    unloadOnClose(event);
}

FormDialog::FormDialog(Services& services, Windows& windows)
    : WindowContract(*this, services, windows) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void FormDialog::closeEvent(QCloseEvent* event) {
    // Not QDialog's: its close box rejects and keeps the window loaded.
    unloadOnClose(event);
}

} // namespace hm52
