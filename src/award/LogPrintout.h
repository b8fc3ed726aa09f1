#pragma once

class QWidget;

namespace hm52 {

struct Services;

// "Print all QSOs": the whole log on the system's default printer, under the operator's
// call sign, one fixed-width line per QSO.
void printAllQSOs(Services& s, QWidget* parent);

} // namespace hm52
