#pragma once

#include "ArchiveRecords.h"

#include <QString>
#include <QStringList>

// The words of a search as the full-text index sees them: runs of letters
// and digits, compared without case and accents (as the index's tokenizer
// folds them). The same rule finds the words to mark in a line, so what is
// marked is what matched.
class CArchiveWords {
 public:
  // `typed` as the operator typed it: its last word is still being typed
  // (a prefix) unless a blank follows it.
  explicit CArchiveWords(const QString& typed);

  bool IsEmpty() const { return m_words.isEmpty(); }
  // The index's query: every word must be in the line, each quoted so that
  // nothing typed is read as query syntax.
  enum Prefixes { LastWordAsTyped, EveryWordAPrefix };
  QString MatchExpression(Prefixes prefixes = LastWordAsTyped) const;
  // Where the words stand in `text`, in order.
  QList<ArchiveMark> Marks(const QString& text) const;

  static QString Fold(const QString& word);

 private:
  QStringList m_words;  // folded
  bool m_bLastIsPrefix = false;
};
