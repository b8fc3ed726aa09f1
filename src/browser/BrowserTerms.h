#pragma once

#include <QString>

namespace hm52 {

// The log browser's search terms. They belong to the browser but live as long as the
// program: hiding or closing the browser keeps them. Each is stored already passed through
// QuoteSql, ready to stand between single quotes in SQL text; empty means no filter.
struct BrowserTerms {
    QString searchCall;
    QString searchLocator;
    QString searchPlace;
    QString searchProv;
};

} // namespace hm52
