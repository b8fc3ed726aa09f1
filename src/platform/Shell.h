#pragma once

#include <QString>

namespace hm52 {

// Opening a document or a web address with the program the system associates with it.
// The result is not examined: a document that cannot be opened is ignored.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const QString& pathOrAddress) = 0;
};

class QtShell final : public Shell {
public:
    void open(const QString& pathOrAddress) override;
};

} // namespace hm52
