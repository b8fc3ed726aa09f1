#pragma once

#include "qso/QsoForm.h"

namespace hm52 {

// Edit QSO: the QSO form filled with a QSO of the log, whose Submit rewrites that QSO.
class frmEditQSO : public QsoForm {
    Q_OBJECT
public:
    frmEditQSO(Services& services, Windows& registry);

    // The `count` of the QSO being edited, set by whoever fills the form. It is kept by the
    // registry, so it outlives the window: Clear, Exit, the close box and a Submit leave it.
    int& editCount;

    // Validates the form, applies the duplicate rules without the edited QSO itself and
    // rewrites that QSO in place, keeping its `count`.
    void cmdSubmit_Click() override;

protected:
    std::optional<qint64> editedQso() const override { return editCount; }

private:
    void submit();
};

} // namespace hm52
