#include "Emoticons.h"

const EmoticonCode kEmoticons[kEmoticonCount] = {
    {"[:)]", "Happy", 1183, 4, 1, 275, 250},       {"[:D]", "BigGrin", 1184, 4, 2, 252, 277},
    {"[:(]", "Sad", 1185, 4, 3, 251, 272},         {"[;)]", "Winking", 1186, 4, 4, 253, 278},
    {"[:blush]", "Blushing", 1179, 3, 1, 255, 279}, {"[:-/]", "Confused", 1180, 3, 2, 254, 280},
    {"[B-)]", "Cool", 1181, 3, 3, 259, 281},       {"[:((]", "Cry", 1182, 3, 4, 260, 282},
    {"[:))]", "Laughing", 1141, 2, 1, 261, 283},   {"[=D>]", "Applause", 1176, 2, 2, 264, 284},
    {"[8-}]", "Silly", 1177, 2, 3, 262, 285},      {"[:-O]", "Surprise", 1178, 2, 4, 257, 286},
    {"[:-?]", "Thinking", 1113, 1, 1, 263, 287},   {"[:P]", "Tongue", 1111, 1, 2, 256, 288},
    {"[:-w]", "Waiting", 1132, 1, 3, 265, 289},    {"[X(]", "Angry", 1175, 1, 4, 266, 290},
};

QList<EmoticonPiece> ScanEmoticons(const QString& line) {
  QList<EmoticonPiece> pieces;
  qsizetype start = 0;
  while (start < line.size()) {
    const qsizetype bracket = line.indexOf(u'[', start);
    if (bracket < 0) break;
    const EmoticonCode* found = nullptr;
    for (const EmoticonCode& e : kEmoticons) {
      if (QStringView(line).mid(bracket).startsWith(QLatin1String(e.code))) {
        found = &e;
        break;
      }
    }
    if (found == nullptr) break;  // this bracket starts no code: the rest is text
    if (bracket > start) pieces.append({line.mid(start, bracket - start)});
    const QString code = QLatin1String(found->code);
    pieces.append({code, found->transcriptBitmap});
    start = bracket + code.size();
  }
  if (start < line.size()) pieces.append({line.mid(start)});
  return pieces;
}

QString EmoticonCodeOf(int transcriptBitmap) {
  for (const EmoticonCode& e : kEmoticons)
    if (e.transcriptBitmap == transcriptBitmap) return QLatin1String(e.code);
  return QString();
}
