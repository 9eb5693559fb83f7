#pragma once

#include <QString>

#include <string>

// Turns the bytes of a decoded query value into text. The console encodes
// each half of a surrogate pair as three bytes on its own; such pairs are
// joined into the character they stand for, and any other invalid UTF-8
// becomes replacement characters.
QString DecodeQueryValue(const std::string& bytes);
