#pragma once

#include <QString>
#include <QStringList>

// Cuts a reply at every occurrence of the separator. There are always as
// many pieces as separators plus one: an empty text gives one empty piece,
// a trailing separator a trailing empty piece, two adjacent separators an
// empty piece between them.
QStringList SplitReply(const QString& text, const QString& separator);
