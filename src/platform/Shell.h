#pragma once

#include <QString>

namespace hm52 {

// How opening a document or a web address went.
enum class Opening {
    Opened,   // handed to the program the system associates with it
    Missing,  // a document that is not there
    NoOpener, // the system found no program to open it with
};

// Opening a document or a web address with the program the system associates with it.
class Shell {
public:
    virtual ~Shell() = default;
    virtual Opening open(const QString& pathOrAddress) = 0;
};

// True for a web address ("http://", "https://"), false for a document's path.
bool isWebAddress(const QString& pathOrAddress);

// The desktop's opener (QDesktopServices, xdg-open on Linux). A document that is not there is
// found missing before anything is started.
class QtShell final : public Shell {
public:
    Opening open(const QString& pathOrAddress) override;
};

} // namespace hm52
