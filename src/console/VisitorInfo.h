#pragma once

#include "VisitorDetails.h"

#include <QObject>
#include <QString>

class CChatManager;

// The console's questions about one visitor: its details and its foot
// prints. Both are asked on a worker thread, so a slow service never
// freezes the console; each answer names the visitor it was for, and an
// answer overtaken by a newer question of its kind is dropped.
class CVisitorInfo : public QObject {
  Q_OBJECT

 public:
  explicit CVisitorInfo(CChatManager& engine, QObject* parent = nullptr);

  void FetchDetails(const QString& sessionId);
  void FetchFootPrints(const QString& sessionId);
  bool IsDetailsOut() const { return m_nDetailsOut > 0; }
  bool IsFootPrintsOut() const { return m_nFootPrintsOut > 0; }

 signals:
  // Only a details reply of its 19 fields tells; a failure or anything else does not.
  void DetailsArrived(const QString& sessionId, const VisitorDetails& details);
  // The reply text as it came, "DISCONNNNECT" for a failure.
  void FootPrintsArrived(const QString& sessionId, const QString& reply);

 private:
  CChatManager& m_engine;
  quint64 m_nDetailsAsked = 0;  // sequence of the newest details question
  quint64 m_nFootPrintsAsked = 0;
  int m_nDetailsOut = 0;
  int m_nFootPrintsOut = 0;
};
