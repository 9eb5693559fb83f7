#pragma once

#include <QString>

// Numbers in replies are read the lenient way the protocol has always been
// read: leading blanks, an optional sign, then as many digits as there are;
// a text without leading digits reads as 0.
long ReadLeadingInt(const QString& text);
double ReadLeadingDouble(const QString& text);
