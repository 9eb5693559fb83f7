#pragma once

#include <QHash>
#include <QObject>

#include <functional>

// Desktop notifications through the freedesktop notification service on
// the session bus, each with an "Accept" action. A notification stays
// until it is used or withdrawn; one of the same key replaces the one
// shown. Where the desktop has no such service nothing is shown.
class CDesktopNotifier : public QObject {
  Q_OBJECT

 public:
  CDesktopNotifier();

  void Notify(const QString& key, const QString& title, const QString& text, std::function<void()> accepted);
  void Withdraw(const QString& key);

 private slots:
  void OnActionInvoked(uint id, const QString& action);
  void OnClosed(uint id, uint reason);

 private:
  struct Shown {
    QString key;
    std::function<void()> accepted;
  };
  void Close(uint id);

  QHash<uint, Shown> m_shown;  // by the service's id
  QHash<QString, uint> m_ids;  // by key
  // Notifications asked for and not yet answered, by key: the newest ask,
  // and what is to replace it once its id is known.
  QHash<QString, quint64> m_pending;
  struct Queued {
    QString title;
    QString text;
    std::function<void()> accepted;
  };
  QHash<QString, Queued> m_queued;
  quint64 m_nSequence = 0;
  bool m_bListening = false;
};
