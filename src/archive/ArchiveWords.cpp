#include "ArchiveWords.h"

namespace {

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c.category() == QChar::Other_PrivateUse; }

// Calls onWord(start, length) for each word of text.
template <typename OnWord>
void ForEachWord(const QString& text, OnWord onWord) {
  int start = -1;
  for (int i = 0; i <= text.size(); ++i) {
    const bool word = i < text.size() && (IsWordChar(text[i]) || (start >= 0 && text[i].isMark()));
    if (word && start < 0) start = i;
    if (!word && start >= 0) {
      onWord(start, i - start);
      start = -1;
    }
  }
}

}  // namespace

CArchiveWords::CArchiveWords(const QString& typed) {
  ForEachWord(typed, [&](int start, int length) { m_words.append(Fold(typed.mid(start, length))); });
  m_bLastIsPrefix = !m_words.isEmpty() && !typed.isEmpty() && IsWordChar(typed.back());
}

QString CArchiveWords::Fold(const QString& word) {
  QString bare;
  for (QChar c : word.normalized(QString::NormalizationForm_KD))
    if (!c.isMark()) bare.append(c);
  return bare.toCaseFolded();
}

QString CArchiveWords::MatchExpression(Prefixes prefixes) const {
  QStringList terms;
  for (int i = 0; i < m_words.size(); ++i) {
    QString term = QLatin1Char('"') + QString(m_words[i]).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                   QLatin1Char('"');
    if (prefixes == EveryWordAPrefix || (i == m_words.size() - 1 && m_bLastIsPrefix)) term += QLatin1Char('*');
    terms.append(term);
  }
  return terms.join(QLatin1Char(' '));
}

QList<ArchiveMark> CArchiveWords::Marks(const QString& text) const {
  QList<ArchiveMark> marks;
  ForEachWord(text, [&](int start, int length) {
    const QString word = Fold(text.mid(start, length));
    for (int i = 0; i < m_words.size(); ++i) {
      const bool prefix = i == m_words.size() - 1 && m_bLastIsPrefix;
      if (prefix ? word.startsWith(m_words[i]) : word == m_words[i]) {
        marks.append({start, length});
        break;
      }
    }
  });
  return marks;
}
