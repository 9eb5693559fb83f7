#include "SpellWords.h"

#include "AnsiCodePage.h"

namespace {

// Trims delimiters off both ends of the piece [start, end).
CSpellWord Trim(QStringView text, qsizetype start, qsizetype end) {
  CSpellWord word{start, end, end};
  while (word.start < word.end && CSpellWords::IsDelimiter(text[word.start])) ++word.start;
  while (word.end > word.start && CSpellWords::IsDelimiter(text[word.end - 1])) --word.end;
  if (word.IsEmpty()) word = {start, start, start};
  return word;
}

}  // namespace

bool CSpellWords::IsDelimiter(QChar c) {
  // '?' ends most questions typed in a chat; without it the last word of
  // every question would be looked up with its question mark.
  static constexpr char16_t kDelimiters[] = u".!_#$%&()* +,-/:;<=>[]\\^`{|}~\t\n\r\x0001'\"?";
  for (char16_t d : kDelimiters) {
    if (d != 0 && c.unicode() == d) return true;
  }
  return IsBreak(c);
}

bool CSpellWords::IsBreak(QChar c) {
  switch (c.unicode()) {
    case u' ':
    case u'\n':
    case u'\r':
    case QChar::LineSeparator:
    case QChar::ParagraphSeparator:
      return true;
    default:
      return false;
  }
}

QList<CSpellWord> CSpellWords::Cut(QStringView text) {
  QList<CSpellWord> words;
  qsizetype start = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsBreak(text[i])) continue;
    const CSpellWord word = Trim(text, start, i);
    if (!word.IsEmpty()) words.append(word);
    start = i + 1;
  }
  return words;
}

CSpellWord CSpellWords::At(QStringView text, qsizetype index) {
  if (text.isEmpty()) return {};
  index = qBound<qsizetype>(0, index, text.size());
  // A caret after the last letter of the text or of a line stands on no
  // character of that word; take the one before it.
  if (index > 0 && (index == text.size() || (text[index] != u' ' && IsBreak(text[index])))) --index;
  qsizetype start = index;
  while (start >= 0 && !IsBreak(text[start])) --start;
  ++start;
  qsizetype end = start;
  while (end < text.size() && !IsBreak(text[end])) ++end;
  return Trim(text, start, end);
}

QByteArray CSpellWords::ToStoreForm(QStringView word) {
  const QByteArray bytes = ToAnsiCodePage(word);
  return bytes.contains('?') ? QByteArray() : bytes;
}
