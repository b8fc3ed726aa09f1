#pragma once

#include "app/Form.h"

namespace hm52 {

// User Data
class frmUserData : public Form {
    Q_OBJECT
public:
    frmUserData(Services& services, WindowRegistry& registry);
    void Form_Load() override;
};

} // namespace hm52
