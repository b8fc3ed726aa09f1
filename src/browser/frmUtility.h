#pragma once

#include "app/Form.h"

namespace hm52 {

// Utility QSO
class frmUtility : public Form {
    Q_OBJECT
public:
    frmUtility(Services& services, WindowRegistry& registry);
    void Form_Load() override;
    // Rebuilds the list from the kept search terms and the order options.
    void showAny();
};

} // namespace hm52
