#pragma once

#include "app/Form.h"

namespace hm52 {

// Base Award Request Italian Rules
class frmBAR : public Form {
    Q_OBJECT
public:
    frmBAR(Services& services, WindowRegistry& registry);
    void Form_Load() override;
};

} // namespace hm52
