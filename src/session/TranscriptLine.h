#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// One line of a chat as the console keeps it: what the service sent (or a
// notice of the console's own), who it is from, and when it arrived. Views
// draw lines by their speaker; none reads the protocol's words again.
struct TranscriptLine {
  enum class Speaker { Own, Other, Notice };

  QString text;  // without its line break
  Speaker speaker = Speaker::Notice;
  QDateTime at;

  // A line of a poll reply: the operator's own when it begins with his
  // login id and the writer's separator, a notice when it has no writer
  // (no colon) or says "notice", else the other side's.
  static TranscriptLine Read(const QString& text, const QString& ownLoginId);
  // A notice of the console's own, such as a line the service did not take.
  static TranscriptLine Notice(const QString& text);
};

Q_DECLARE_METATYPE(TranscriptLine)
