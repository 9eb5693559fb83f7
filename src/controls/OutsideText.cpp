#include "OutsideText.h"

namespace {

// LRE, RLE, PDF, LRO, RLO and LRI, RLI, FSI, PDI. The marks (LRM, RLM, ALM)
// only nudge neutral characters and stay.
bool IsDirectionalFormatting(char16_t c) { return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069); }

}  // namespace

QString PlainToolTip(const QString& text) {
  if (text.isEmpty()) return {};
  return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(DisplayedField(text).toHtmlEscaped());
}

QString DisplayedField(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && !IsDirectionalFormatting(text.at(i).unicode())) ++i;
  if (i == text.size()) return text;
  QString shown = text.left(i);
  for (; i < text.size(); ++i)
    if (!IsDirectionalFormatting(text.at(i).unicode())) shown += text.at(i);
  return shown;
}
