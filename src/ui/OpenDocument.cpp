#include "ui/OpenDocument.h"

#include "ui/Services.h"

#include <QDir>

namespace hm52 {

QString missingDocumentText(const QString& path) {
    return QStringLiteral("The file %1 cannot be opened: it is not there.\n\nInstall HM52 again "
                          "(sudo apt install --reinstall hm52), or build it again, to bring back "
                          "its help files.")
        .arg(QDir::toNativeSeparators(path));
}

QString noOpenerText(const QString& pathOrAddress) {
    if (isWebAddress(pathOrAddress)) {
        return QStringLiteral("The web page %1 cannot be opened: no web browser was found.\n\n"
                              "Install the xdg-utils package (sudo apt install xdg-utils) and a "
                              "web browser, or type the address into your web browser by hand.")
            .arg(pathOrAddress);
    }
    return QStringLiteral("The file %1 cannot be opened: no program to open it was found.\n\n"
                          "Install the xdg-utils package (sudo apt install xdg-utils) and a "
                          "program for this kind of file, or open the file by hand.")
        .arg(QDir::toNativeSeparators(pathOrAddress));
}

void openDocument(Services& s, QWidget* parent, const QString& pathOrAddress) {
    switch (s.shell.open(pathOrAddress)) {
    case Opening::Opened:
        break;
    case Opening::Missing:
        s.dialogs.tell(parent, missingDocumentText(pathOrAddress), Icon::Exclamation);
        break;
    case Opening::NoOpener:
        s.dialogs.tell(parent, noOpenerText(pathOrAddress), Icon::Exclamation);
        break;
    }
}

} // namespace hm52
