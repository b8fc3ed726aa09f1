#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace hm52 {

void QtShell::open(const QString& pathOrAddress) {
    const bool address = pathOrAddress.startsWith(QLatin1String("http://")) ||
                         pathOrAddress.startsWith(QLatin1String("https://"));
    QDesktopServices::openUrl(address ? QUrl(pathOrAddress) : QUrl::fromLocalFile(pathOrAddress));
}

} // namespace hm52
