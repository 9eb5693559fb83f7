#include "NumberText.h"

#include <climits>

namespace {

qsizetype SkipBlanks(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r' ||
                             text[i] == u'\v' || text[i] == u'\f'))
    ++i;
  return i;
}

}  // namespace

long ReadLeadingInt(const QString& text) {
  qsizetype i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    const int digit = text[i].unicode() - u'0';
    if (value > (LONG_MAX - digit) / 10) return negative ? LONG_MIN : LONG_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

double ReadLeadingDouble(const QString& text) {
  qsizetype i = SkipBlanks(text);
  const qsizetype start = i;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80) ++i;
  if (i < text.size() && text[i] == u'.') ++i;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80) ++i;
  bool ok = false;
  const double value = QStringView(text).sliced(start, i - start).toDouble(&ok);
  return ok ? value : 0.0;
}
