#pragma once

#include "award/AwardRequest.h"

namespace hm52 {

// Award Endorsment Italian Rules: prints the request form for an endorsement, a further
// block of confirmed sub-squares claimed by an operator who holds the base award of the band
// and mode, and on the operator's double confirmation marks them accredited.
class frmAE : public AwardRequestForm {
    Q_OBJECT
public:
    frmAE(Services& services, Windows& registry);

protected:
    void request(Output output) override;
};

} // namespace hm52
