#pragma once

#include <QString>
#include <QStringList>

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

// For tests: keeps every path or address it was asked to open.
class RecordingShell final : public Shell {
public:
    void open(const QString& pathOrAddress) override { opened << pathOrAddress; }
    QStringList opened;
};

} // namespace hm52
