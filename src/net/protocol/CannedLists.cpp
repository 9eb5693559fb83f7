#include "CannedLists.h"

#include "Separators.h"
#include "SplitReply.h"

CannedLists CannedLists::Parse(const QString& reply) {
  CannedLists lists;
  const QStringList blocks = SplitReply(reply, kSepBlock);
  if (blocks.size() != 2) return lists;
  lists.wellFormed = true;
  if (!blocks[0].isEmpty()) {
    for (const QString& record : SplitReply(blocks[0], kSepField)) {
      const QStringList f = SplitReply(record, kSepLine);
      if (f.size() >= 2) lists.pushUrls.append({f[0], f[1]});
    }
  }
  if (!blocks[1].isEmpty()) {
    for (const QString& record : SplitReply(blocks[1], kSepField)) {
      const QStringList f = SplitReply(record, kSepLine);
      if (f.size() >= 3) lists.responses.append({f[0], f[1], f[2]});
    }
  }
  return lists;
}

QString FoldedForSearch(const QString& text) {
  const QString decomposed = text.normalized(QString::NormalizationForm_KD);
  QString folded;
  folded.reserve(decomposed.size());
  for (const QChar c : decomposed)
    if (c.category() != QChar::Mark_NonSpacing) folded.append(c.toCaseFolded());
  return folded;
}

bool MatchesFilter(const QStringList& foldedWords, const QStringList& texts) {
  QStringList folded;
  for (const QString& t : texts) folded.append(FoldedForSearch(t));
  for (const QString& word : foldedWords) {
    bool found = false;
    for (const QString& t : folded) found = found || t.contains(word);
    if (!found) return false;
  }
  return true;
}
