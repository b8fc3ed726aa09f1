#include "ui/Form.h"

#include "ui/Services.h"

#include <QCloseEvent>

namespace hm52 {

void runHandler(Services& s, QWidget* parent, const std::function<void()>& handler) {
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

Form::Form(Services& services, Windows& reg) : s(services), registry(reg) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void Form::closeEvent(QCloseEvent* event) {
    if (unloading_) {
        event->accept();
        return;
    }
    unloading_ = true;
    Form_Unload();
    event->accept();
    hide();
    Q_EMIT unloaded();
    deleteLater();
}

} // namespace hm52
