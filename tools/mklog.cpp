// Creates an empty log (the schema, no rows) where none is. An existing log is never
// touched: the program's folder keeps the operator's QSOs across rebuilds.
//
// usage: mklog data.mdb

#include "platform/Database.h"
#include "storage/Schema.h"

#include <QFileInfo>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mklog data.mdb\n");
        return 1;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path)) {
        return 0;
    }
    try {
        hm52::schema::createLog(path);
    } catch (const hm52::DbError& e) {
        std::fprintf(stderr, "mklog: %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf("mklog: empty log created at %s\n", qPrintable(path));
    return 0;
}
