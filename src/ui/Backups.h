#pragma once

#include <QString>

class QWidget;

namespace hm52 {

struct Services;

// Backs the log up before an operation changes it; call it before the operation's
// transaction begins, so the copy holds only what was committed. On failure shows the reason
// (naming the operation by `why`: "the import", "the conversion to accredited") and returns
// false: the caller must then change nothing.
bool backupBeforeChange(Services& s, QWidget* parent, const QString& why);

} // namespace hm52
