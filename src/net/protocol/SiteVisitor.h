#pragma once

#include "VisitorDetails.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>

// One visitor line of the refresh reply: its thirteen fields.
struct VisitorLine {
  // In the order the members are laid out, which is not the reply's:
  // kVisitorLineFields below maps the reply's fields onto them.
  QString ip;
  QString visits;     // pages viewed
  QString status;     // "Chat Request", "In Site", "Chatting with: NAME"
  QString duration;   // time on site, H:MM:SS
  QString page;
  QString sessionId;  // the row's key
  QString actDelete;  // "Delete" when allowed
  QString actBusy;    // "Busy"
  QString actInvite;  // "Invite"
  QString actBlockIp; // "BlockIP"
  QString actProPop;  // "Pro-Pop"
  QString colour;     // "#RRGGBB", or "#" or empty for none
  QString name;

  static constexpr int kFieldCount = 13;

  // What the status field says.
  bool IsChatRequest() const { return status == QLatin1String("Chat Request"); }
  // A chat asked for or running: the statuses that begin with "Chat".
  bool IsInChat() const { return status.startsWith(QLatin1String("Chat")); }
  // A running chat: "Chatting with: NAME" (the operator's name ends it).
  bool IsChatting() const { return status.startsWith(QLatin1String("Chatting")); }
  // What the service allows on this visitor: each action field holds its
  // own word when the action is allowed, and is empty otherwise.
  bool AllowsDelete() const { return actDelete == QLatin1String("Delete"); }
  bool AllowsBusy() const { return actBusy == QLatin1String("Busy"); }
  bool AllowsInvite() const { return actInvite == QLatin1String("Invite"); }
  bool AllowsBlockIp() const { return actBlockIp == QLatin1String("BlockIP"); }
  bool AllowsProPop() const { return actProPop == QLatin1String("Pro-Pop"); }
  bool IsNewOnSite() const { return IsNewOnSite(duration); }
  // A visitor on the site for less than 9 seconds: its duration H:MM:SS
  // read without the colons as a number, so 0:00:08 is 8.
  static bool IsNewOnSite(const QString& duration);
  // From the fields of one line; false unless there are exactly 13.
  static bool FromFields(const QStringList& fields, VisitorLine& line);
  // The thirteen fields in the reply's order, as the service writes them.
  QStringList Fields() const;

  bool operator==(const VisitorLine& o) const;
  bool operator!=(const VisitorLine& o) const { return !(*this == o); }
};

// The member that holds each field of a visitor line, in the reply's order:
// the one place where field numbers meet names. Every reader and writer of
// a line goes through it.
inline constexpr std::array<QString VisitorLine::*, VisitorLine::kFieldCount> kVisitorLineFields = {
    &VisitorLine::sessionId, &VisitorLine::ip,        &VisitorLine::visits,    &VisitorLine::status,
    &VisitorLine::duration,  &VisitorLine::name,      &VisitorLine::actDelete, &VisitorLine::actBusy,
    &VisitorLine::actInvite, &VisitorLine::actBlockIp, &VisitorLine::actProPop, &VisitorLine::page,
    &VisitorLine::colour};

// The console's record of one visitor row.
class CSiteVisitor {
 public:
  CSiteVisitor() = default;
  explicit CSiteVisitor(VisitorLine line);

  // Fills details with the cached record (empty when none is loaded) and
  // says whether it will do: false when nothing is loaded yet or a fresh
  // copy is wanted, and the service must be asked.
  bool GetDetails(VisitorDetails& details, bool bForce) const;
  // Caches a details record that arrived for this visitor.
  void SetDetails(const VisitorDetails& details);

  // The cached details record; empty when none is loaded.
  const VisitorDetails& Details() const;

  VisitorLine m_line;
  // Shared with the console's cache, and absent for most rows: a table of
  // many visitors holds one record per visitor with details, not per row.
  std::shared_ptr<const VisitorDetails> m_pDetails;
  bool m_bDetailsLoaded = false;
  bool m_bHasColour = false;
};
