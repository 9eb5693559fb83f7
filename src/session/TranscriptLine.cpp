#include "TranscriptLine.h"

#include "ChatPollReply.h"

namespace {

QString WithoutLineBreak(QString text) {
  while (text.endsWith(u'\n') || text.endsWith(u'\r')) text.chop(1);
  return text;
}

}  // namespace

TranscriptLine TranscriptLine::Read(const QString& text, const QString& ownLoginId) {
  TranscriptLine line{WithoutLineBreak(text), Speaker::Other, QDateTime::currentDateTime()};
  if (IsOwnLine(line.text, ownLoginId))
    line.speaker = Speaker::Own;
  else if (!line.text.contains(u':') || line.text.startsWith(QStringLiteral("notice"), Qt::CaseInsensitive))
    line.speaker = Speaker::Notice;
  return line;
}

TranscriptLine TranscriptLine::Notice(const QString& text) {
  return TranscriptLine{WithoutLineBreak(text), Speaker::Notice, QDateTime::currentDateTime()};
}
