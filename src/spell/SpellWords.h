#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>

// One word of an entry box's text as spell checking sees it, as character
// indexes into that text.
struct CSpellWord {
  qsizetype start = 0;    // first character, leading delimiters left out
  qsizetype end = 0;      // one past the last character, trailing delimiters left out
  qsizetype markEnd = 0;  // one past the trailing delimiters: where an underline ends

  bool IsEmpty() const { return end <= start; }
  qsizetype Length() const { return end - start; }
};

// How the entry box cuts its text into words. The underline and the context
// menu use the same rule, so adding a word always clears its mark: a word
// runs between spaces and line breaks, and punctuation is trimmed from both
// of its ends. "don't" stays whole, "(helo," is the word "helo".
class CSpellWords {
 public:
  static bool IsDelimiter(QChar c);
  // Where words end: a space or any line break.
  static bool IsBreak(QChar c);

  // The words of text in order; pieces made only of delimiters are left out.
  static QList<CSpellWord> Cut(QStringView text);
  // The word at the character index (a caret or selection start). An index
  // on a space takes the word after it; the end of the text or of a line
  // takes the word before it. Empty when there is none.
  static CSpellWord At(QStringView text, qsizetype index);

  // The word in the dictionary's code page, or empty when the store cannot
  // hold it: a character outside the code page would arrive as '?', which
  // the store reads as "any letter" when suggesting and which would make
  // every such word known once added.
  static QByteArray ToStoreForm(QStringView word);
};
