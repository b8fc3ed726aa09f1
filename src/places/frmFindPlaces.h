#pragma once

#include "app/Form.h"

namespace hm52 {

// Find on Places Database
class frmFindPlaces : public Form {
    Q_OBJECT
public:
    frmFindPlaces(Services& services, WindowRegistry& registry);
    void Form_Load() override;
};

} // namespace hm52
