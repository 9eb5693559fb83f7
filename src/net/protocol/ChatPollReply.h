#pragma once

#include "ServiceSound.h"

#include <QString>
#include <QStringList>

// A chat poll reply cut into its parts: the chat part and the typing flag
// around "<tvr_type_split>", then the chat part's four blocks (lines, the
// newest line's number, a third field, the sound flag). A reply of any other
// shape gives empty parts and changes nothing.
struct ChatPollReply {
  bool wellFormed = false;     // the chat part had its four blocks
  bool hasTypingFlag = false;  // the reply had its two parts
  bool visitorTyping = false;  // the flag read "vt"
  QString messages;            // the lines block, as sent
  QStringList lines;           // its lines, empty ones left out, long ones cut
  QString number;              // the newest line's number
  QString third;
  ServiceSound sound = ServiceSound::None;  // the sound flag

  // A visitor chat's poll reply: chat part and typing flag.
  static ChatPollReply Parse(const QString& reply);
  // An operator chat's poll reply: the four blocks alone.
  static ChatPollReply ParseBlocks(const QString& chatPart);

  // A line as the transcript shows it: one longer than kMaxShownLine is
  // cut there, and says so; the transcript crawls on megabytes in one
  // paragraph, and the chat must move past such a line.
  static constexpr qsizetype kMaxShownLine = 10000;
  static QString ShownLine(const QString& line);

  // The service rings for a new line of the other side.
  bool RingsNewLine() const { return sound == ServiceSound::NewChatLine; }

  // The other side has left: a lone closing notice where the lines would be.
  bool IsClosingNotice(const QString& notice) const;
  static const QString kClosedByUser;
  static const QString kClosedByOperator;
};

// A line of the operator's own: it begins with his login id (case ignored)
// and the separator the service puts after a writer's name, so a visitor
// "Annabel" is not taken for the operator "anna".
bool IsOwnLine(const QString& line, const QString& loginId);

// The time a chat has lasted as its window shows it, "HH:MM:SS", the hours
// counted modulo 24.
QString ChatElapsedText(qint64 seconds);
