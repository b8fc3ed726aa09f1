// Builds against the QSO windows' library: their own headers and every layer below them.
#include "platform/Database.h"
#include "qso/QsoForm.h"
#include "rules/Rules.h"
#include "storage/Module1.h"
#include "ui/Form.h"

int probeAllowed() {
    return 0;
}
