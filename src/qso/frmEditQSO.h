#pragma once

#include "app/Form.h"

namespace hm52 {

// Edit QSO
class frmEditQSO : public Form {
    Q_OBJECT
public:
    frmEditQSO(Services& services, WindowRegistry& registry);
    void Form_Load() override;
    // Empties the form.
    void cancella();
};

} // namespace hm52
