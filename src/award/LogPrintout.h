#pragma once

#include "ui/PrintJob.h"

class QWidget;

namespace hm52 {

struct Services;

// "Print all QSOs": the whole log on the system's default printer, under the operator's
// call sign, one fixed-width line per QSO. The same pages in a preview, or in a PDF file that
// the operator chooses.
void printAllQSOs(Services& s, QWidget* parent, Output output = Output::Printer);

} // namespace hm52
