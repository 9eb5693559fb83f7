#pragma once

#include <QString>

// The percent-encoding of free text in request parameters, one UTF-16 unit
// at a time: '=', '+' and '&' become %3D, %2B and %26; every other unit
// below 0x80 stays as it is (space, '%', '#', '?', '/' and control
// characters included); units from 0x80 up become their two or three UTF-8
// bytes as %XX each, a surrogate half on its own as three bytes.
QString UrlEncode(const QString& text);
