#pragma once

#include <QString>

class QWidget;

namespace hm52 {

struct Services;

// Opens a document or a web address through the shell. When it cannot be opened, says which
// one and what to do about it; the caller goes on either way.
void openDocument(Services& s, QWidget* parent, const QString& pathOrAddress);

// What the operator is told when opening failed: a document that is not there, or no program
// to open a document or a web address with.
QString missingDocumentText(const QString& path);
QString noOpenerText(const QString& pathOrAddress);

} // namespace hm52
