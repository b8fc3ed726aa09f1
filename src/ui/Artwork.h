#pragma once

#include <QPixmap>

// The program's pictures, drawn here rather than shipped as files.
namespace hm52::artwork {

// The award's certificate, 410 x 288 pixels.
QPixmap certificate();
// The sponsoring association's emblem, 64 x 111 pixels.
QPixmap emblem();
// A banner with the award's name in red capitals, 321 x 64 pixels.
QPixmap banner();

} // namespace hm52::artwork
