#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// One chat as the archive keeps it. In an operator chat the other side is
// a colleague: his name stands where a visitor's would.
struct ArchiveChat {
  qint64 id = 0;  // the archive's own number, 0 before it is stored
  QString chatId;
  bool operatorChat = false;
  QString visitorName;
  QString visitorEmail;
  QString visitorAddress;
  QString page;
  QString site;
  QString operatorName;  // the operator of this console
  QDateTime started;
  QDateTime ended;   // invalid while the chat runs (or if the console stopped first)
  QString endedHow;  // why it ended, and with whom when it went to a colleague
};

// Where a searched word stands in a line's text, in UTF-16 units.
struct ArchiveMark {
  int start = 0;
  int length = 0;
  bool operator==(const ArchiveMark& other) const { return start == other.start && length == other.length; }
};

// One line of a chat as it was shown.
struct ArchiveLine {
  enum class Speaker { Own, Other, Notice };

  qint64 id = 0;
  QDateTime at;
  Speaker speaker = Speaker::Other;
  QString speakerName;  // empty for a notice
  QString text;         // the whole line, writer and all, as shown
  QList<ArchiveMark> marks;  // filled by a search only

  bool IsOwn() const { return speaker == Speaker::Own; }
};

// One visitor, by his facts (each compared whole and without case; a fact
// not given is not asked for). His earlier chats are those with any of
// them; the chats forgotten are those with his e-mail address or with both
// his name and his address.
struct ArchiveVisitor {
  QString name;
  QString email;
  QString address;
};

// What to look for. Empty words with a visitor filter list that visitor's
// chats; every filter is optional.
struct ArchiveQuery {
  QString words;    // as typed: the last word matches as a prefix while it is being typed
  QString visitor;  // name or e-mail address, words of it as prefixes
  QDate from;       // first day included
  QDate to;         // last day included
  bool operatorChatsOnly = false;
  ArchiveVisitor sameVisitor;  // when given: that visitor's chats only
  int maxChats = 50;
  int maxLinesPerChat = 20;
};

// One chat found, with its lines that match (in order, marked).
struct ArchiveHit {
  ArchiveChat chat;
  QList<ArchiveLine> lines;
};

