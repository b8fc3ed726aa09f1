#pragma once

#include "app/Form.h"

namespace hm52 {

// Award Endorsment Italian Rules
class frmAE : public Form {
    Q_OBJECT
public:
    frmAE(Services& services, WindowRegistry& registry);
    void Form_Load() override;
};

} // namespace hm52
