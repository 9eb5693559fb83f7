#pragma once

#include "ServiceConfig.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>
#include <random>

// The notices a chat ends with.
inline const QString kClosedByUser = QStringLiteral("Notice: Chat Closed by User.");
inline const QString kClosedByOperator = QStringLiteral("Notice: Chat Closed by Operator.");

// Login ids compare without regard to letter case.
inline bool SameId(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The live state of every site the service serves. One lock guards all of
// it; every request takes the lock for the short time it needs.

struct ChatLine {
  int number = 0;
  QString text;  // "sender: words", or a notice
  bool fromVisitor = false;
  QString sender;  // login id of an operator line, empty otherwise
  qint64 at = 0;   // ms since the service started
};

struct VisitorChat {
  enum State { Requested, Active, Closed };
  State state = Requested;
  QString operatorId;         // who has the chat
  QStringList participants;   // operators allowed to read and write it
  QString transferTo;         // operator a transfer is waiting for
  QList<ChatLine> lines;
  bool visitorTyping = false;
  qint64 operatorTypingAt = -1;
  qint64 requestedAt = 0;
  QString closedNotice;       // the line polls get once it is closed
};

struct Visitor {
  QString sessionId;
  int number = 0;  // arrival order within the site
  QString ip;
  QString name;
  QString email;
  QString page;
  int visits = 1;
  qint64 arrivedAt = 0;
  QString colour;  // "#RRGGBB", or empty for none
  bool invited = false;
  bool earlierChats = false;
  QString proactiveUrl;
  QString proactiveWindow;
  QStringList details;  // the 19 detail fields, in reply order
  struct Footprint {
    QString page;
    qint64 at;
  };
  QList<Footprint> footprints;
  VisitorChat chat;
  bool hasChat = false;
  // Gone from the site; kept a while so that its chat window still learns
  // that the chat is closed.
  bool departed = false;
  qint64 departedAt = 0;

  // What the console's Status column shows.
  QString Status() const;
};

struct OperatorState {
  OperatorAccount account;
  bool loggedIn = false;
  bool manualOffline = false;
  bool forcedOut = false;  // the next refresh answers "logout"
  bool simulated = false;  // logged in by the demo, not by a console
  qint64 lastHeard = -1;
  int firstUnseenVisitor = 1;  // visitors from this number on are new to him
  QString transferNotice;  // chat session id transferred here, not yet taken
  bool transferRung = false;  // its sound has gone out
};

struct OperatorMessage {
  QString from;
  QString to;
  QString text;
  bool read = false;
  qint64 at = 0;
};

struct OperatorChat {
  enum State { Pending, Active, Closed };
  QString id;
  QString asker;
  QString invitee;
  State state = Pending;
  QList<ChatLine> lines;
  qint64 typingAt = -1;
  QString lastPoller;  // the participant who polled last
};

struct ArchivedChat {
  QString visitorName;
  QString visitorIp;
  QString operatorId;
  qint64 at = 0;
  QList<ChatLine> lines;
};

struct StoredFile {
  QString name;
  QByteArray data;
  QString contentType;
};

struct Site {
  SiteConfig config;
  QList<OperatorState> operators;
  QList<Visitor> visitors;  // in arrival order
  QList<OperatorMessage> messages;
  QList<OperatorChat> operatorChats;
  QList<ArchivedChat> archive;
  QSet<QString> blockedIps;
  int nextVisitor = 1;
  int nextOperatorChat = 1;

  OperatorState* FindOperator(const QString& loginId);
  Visitor* FindVisitor(const QString& sessionId);
  OperatorChat* FindOperatorChat(const QString& id);
  bool IsOnline(const OperatorState& op, qint64 now) const;
};

class CServiceState {
 public:
  explicit CServiceState(CServiceConfig config);

  std::mutex lock;
  CServiceConfig config;
  QList<Site> sites;
  QMap<QString, StoredFile> files;
  std::mt19937 random;

  Site* FindSite(const QString& id);
  // Milliseconds since the service started.
  qint64 Now() const;
  // From now on Now() answers this time and moves only with AdvanceClock,
  // so that tests can run minutes of the demo without waiting for them.
  void UseManualClock(qint64 ms) { m_nManualNow = ms; }
  void AdvanceClock(qint64 ms) { m_nManualNow += ms; }
  // The wall-clock time of such a moment, for pages.
  QDateTime WallTime(qint64 ms) const { return m_startWall.addMSecs(ms); }
  // The chat of the visitor with this session id, in whichever site.
  Visitor* FindChatVisitor(const QString& sessionId, Site** site = nullptr);
  OperatorChat* FindOperatorChat(const QString& id, Site** site = nullptr);

  // Adds a visitor (the caller holds the lock); empty when its IP is blocked.
  QString AddVisitor(Site& site, const QString& name, const QString& ip, const QString& page);
  // Ends the visitor's chat with a closing notice and keeps a copy of it.
  void CloseChat(Site& site, Visitor& visitor, const QString& notice);
  // The visitor leaves the site (its chat closes); a visitor without a chat
  // is forgotten at once, one with a chat a few minutes later.
  void RemoveVisitor(Site& site, const QString& sessionId, const QString& notice);
  void ForgetDeparted(Site& site);
  // The operator leaves: his visitor chats and operator chats close.
  void LogOut(Site& site, OperatorState& op);
  // The chat still open between the two operators, or a new one in which
  // asker asks invitee.
  OperatorChat& OpenOperatorChat(Site& site, const QString& asker, const QString& invitee);
  static void AppendLine(QList<ChatLine>& lines, const QString& text, bool fromVisitor, const QString& sender,
                         qint64 now);
  // The four blocks of a chat poll: the lines after lastNum, the newest
  // number, a third field that is not empty, and "sound4" when one of the
  // new lines is one the poller should hear.
  static QString PollBlocks(const QList<ChatLine>& lines, int lastNum, const std::function<bool(const ChatLine&)>& rings);
  // The blocks of a poll once the chat is closed: the notice, the rest empty.
  static QString ClosedBlocks(const QString& notice);

 private:
  qint64 m_nStartMs;
  std::atomic<qint64> m_nManualNow{-1};  // -1: the steady clock
  QDateTime m_startWall;
};
