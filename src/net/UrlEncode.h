#pragma once

#include <QString>

// The percent-encoding of free text in request parameters, one UTF-16 unit
// at a time: letters, digits and "-._~" stay as they are (so plain ids keep
// their shape); every other unit below 0x80 becomes %XX, and units from 0x80
// up become their two or three UTF-8 bytes as %XX each, a surrogate half on
// its own as three bytes (the service joins the halves of a pair).
QString UrlEncode(const QString& text);
