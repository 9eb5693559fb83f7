#pragma once

#include "ServiceSound.h"

#include <QString>

// The reply to asking for the messages other operators left: the messages
// and, after "<blk>", a sound name ("sound3" when one is new). Within the
// messages "<fld>" ends a message and "<ln>" follows its writer. An empty
// reply or a failed request is not well formed: there is nothing to show.
struct MessagesReply {
  bool wellFormed = false;
  QString text;   // as it reads: a line break for "<fld>", ":  " for "<ln>"
  ServiceSound sound = ServiceSound::None;  // the second block, when the reply has exactly two

  // A new message waits: the service names the messages' sound.
  bool RingsNewMessage() const { return sound == ServiceSound::Message; }

  static MessagesReply Parse(const QString& reply);
  // The messages block as it reads.
  static QString TextOf(const QString& block);
};
