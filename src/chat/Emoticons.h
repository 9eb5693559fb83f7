#pragma once

#include <QList>
#include <QString>

// The emoticon codes that chat text carries, such as "[:)]": case-sensitive,
// brackets included. Each has a picture for the picker's button and one
// for the transcript, and a place in the picker's 4 x 4 grid.
struct EmoticonCode {
  const char* code;
  const char* name;  // the picker button's tooltip
  int buttonId;
  int row;  // 1 at the top
  int column;
  int pickerBitmap;
  int transcriptBitmap;
};

constexpr int kEmoticonCount = 16;
// In the order the scan tests them.
extern const EmoticonCode kEmoticons[kEmoticonCount];

// One piece of a scanned line: plain text, or the transcript picture of a code.
struct EmoticonPiece {
  QString text;           // the plain text, or the code itself
  int bitmap = 0;         // the transcript bitmap; 0 for plain text
  bool IsPicture() const { return bitmap != 0; }
  bool operator==(const EmoticonPiece& o) const { return text == o.text && bitmap == o.bitmap; }
};

// Cuts a line into plain pieces and code pictures. The first left square
// bracket that starts no code ends the scan: the rest of the line, codes
// included, stays text.
QList<EmoticonPiece> ScanEmoticons(const QString& line);

// The code of a transcript bitmap, or an empty text.
QString EmoticonCodeOf(int transcriptBitmap);
