#pragma once

#include "app/Form.h"

namespace hm52 {

// Award Italian Rules
class frmAward : public Form {
    Q_OBJECT
public:
    frmAward(Services& services, WindowRegistry& registry);
    void Form_Load() override;
    // Recounts the eighteen cells for the chosen mode.
    void conta();
};

} // namespace hm52
