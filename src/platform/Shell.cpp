#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace hm52 {

bool isWebAddress(const QString& pathOrAddress) {
    return pathOrAddress.startsWith(QLatin1String("http://")) ||
           pathOrAddress.startsWith(QLatin1String("https://"));
}

Opening QtShell::open(const QString& pathOrAddress) {
    if (isWebAddress(pathOrAddress)) {
        return QDesktopServices::openUrl(QUrl(pathOrAddress)) ? Opening::Opened : Opening::NoOpener;
    }
    if (!QFileInfo(pathOrAddress).isFile()) {
        return Opening::Missing;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(pathOrAddress)) ? Opening::Opened
                                                                         : Opening::NoOpener;
}

} // namespace hm52
