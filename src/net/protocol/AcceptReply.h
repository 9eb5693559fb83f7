#pragma once

#include <QString>

// The reply to accepting a visitor's chat: five fields, "true", the
// visitor's name and e-mail, "Y" when the visitor chatted before, and the
// chat session id. Any other first field is the service's reason for
// refusing, shown to the operator as it reads.
struct AcceptReply {
  bool wellFormed = false;  // five fields
  bool accepted = false;
  QString refusal;  // the first field, when not accepted
  QString visitorName;
  QString visitorEmail;
  bool earlierChats = false;
  QString chatId;

  // A reply of any other field count (a failed request included) is not
  // well formed, and neither accepted nor refused.
  static AcceptReply Parse(const QString& reply);
};
