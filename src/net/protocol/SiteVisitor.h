#pragma once

#include "VisitorDetails.h"

#include <QString>
#include <QStringList>

#include <memory>

// One visitor line of the refresh reply: its thirteen fields.
struct VisitorLine {
  QString ip;         // field 1
  QString visits;     // 2: pages viewed
  QString status;     // 3: "Chat Request", "In Site", "Chatting..."
  QString duration;   // 4: time on site, H:MM:SS
  QString page;       // 11
  QString sessionId;  // 0: the row's key
  QString actDelete;  // 6: "Delete" when allowed
  QString actBusy;    // 7: "Busy"
  QString actInvite;  // 8: "Invite"
  QString actBlockIp; // 9: "BlockIP"
  QString actProPop;  // 10: "Pro-Pop"
  QString colour;     // 12: "#RRGGBB", or "#" or empty for none
  QString name;       // 5

  static constexpr int kFieldCount = 13;

  // What the status field says.
  bool IsChatRequest() const { return status == QLatin1String("Chat Request"); }
  // A chat asked for or running: the statuses that begin with "Chat".
  bool IsInChat() const { return status.startsWith(QLatin1String("Chat")); }
  bool IsNewOnSite() const { return IsNewOnSite(duration); }
  // A visitor on the site for less than 9 seconds: its duration H:MM:SS
  // read without the colons as a number, so 0:00:08 is 8.
  static bool IsNewOnSite(const QString& duration);
  // From the fields of one line; false unless there are exactly 13.
  static bool FromFields(const QStringList& fields, VisitorLine& line);

  bool operator==(const VisitorLine& o) const;
  bool operator!=(const VisitorLine& o) const { return !(*this == o); }
};

// The console's record of one visitor row.
class CSiteVisitor {
 public:
  CSiteVisitor() = default;
  explicit CSiteVisitor(VisitorLine line);
  virtual ~CSiteVisitor() = default;

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
