#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The 8-bit code page the dictionary and the spell-checking entry box work
// in: Windows-1252. The dictionary file holds raw bytes of it, so the same
// table must be used for reading and writing words.
//
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character of their own and
// stand for the control characters of the same value, so every byte string
// survives a round trip through UTF-16. A character the code page cannot
// hold (one outside it, a surrogate pair, a lone surrogate) becomes one '?'.
QByteArray ToAnsiCodePage(QStringView text);
QString FromAnsiCodePage(QByteArrayView bytes);
// A word as the dictionary stores it, or empty when the code page cannot
// hold it as written (a word is left out rather than stored changed).
QByteArray WordInAnsiCodePage(QStringView word);
