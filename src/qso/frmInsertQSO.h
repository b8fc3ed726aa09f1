#pragma once

#include "app/Form.h"

namespace hm52 {

// Insert QSO
class frmInsertQSO : public Form {
    Q_OBJECT
public:
    frmInsertQSO(Services& services, WindowRegistry& registry);
    void Form_Load() override;
    // Empties the form.
    void cancella();
};

} // namespace hm52
