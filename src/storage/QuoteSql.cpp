#include "storage/QuoteSql.h"

namespace hm52 {

QString QuoteSql(const QString& text) {
    const auto firstQuote = text.indexOf(u'\'');
    if (firstQuote < 0) {
        return text;
    }
    QString result = text.left(firstQuote);
    result.reserve(text.size() + 8);
    for (auto i = firstQuote; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\'') {
            result += QLatin1String("''");
        } else {
            result += c;
        }
    }
    return result;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(u'/') || folder.endsWith(u'\\')) {
        return folder + name;
    }
    return folder + u'/' + name;
}

} // namespace hm52
