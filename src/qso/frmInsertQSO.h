#pragma once

#include "qso/QsoForm.h"

namespace hm52 {

// Insert QSO: the QSO form whose Submit adds a new QSO to the log.
class frmInsertQSO : public QsoForm {
    Q_OBJECT
public:
    frmInsertQSO(Services& services, Windows& registry);

    // Validates the form, applies the award's duplicate rules, numbers the QSO and stores it.
    void cmdSubmit_Click() override;

private:
    void submit();
};

} // namespace hm52
