#pragma once

#include <QHash>
#include <QObject>

#include <functional>

// Desktop notifications through the freedesktop notification service on
// the session bus, each with an "Accept" action. Where the desktop has no
// such service nothing is shown.
class CDesktopNotifier : public QObject {
  Q_OBJECT

 public:
  CDesktopNotifier();

  void Notify(const QString& title, const QString& text, std::function<void()> accepted);

 private slots:
  void OnActionInvoked(uint id, const QString& action);
  void OnClosed(uint id, uint reason);

 private:
  QHash<uint, std::function<void()>> m_accepted;
  bool m_bListening = false;
};
