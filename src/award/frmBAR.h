#pragma once

#include "award/AwardRequest.h"

namespace hm52 {

// Base Award Request Italian Rules: prints the request form for the base award of one band
// and one mode and, on the operator's double confirmation, marks the QSOs that the form
// claims as accredited.
class frmBAR : public AwardRequestForm {
    Q_OBJECT
public:
    frmBAR(Services& services, Windows& registry);

protected:
    void request(Output output) override;
};

} // namespace hm52
