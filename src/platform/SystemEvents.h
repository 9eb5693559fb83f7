#pragma once

#include <QObject>
#include <QString>

// What the machine tells about itself on the system bus: that it is going
// to sleep or has woken up (logind), and whether the network is there
// (NetworkManager). Where the bus or a service is missing, nothing is
// said and the console relies on its own requests. A test points
// DBUS_SYSTEM_BUS_ADDRESS at a bus of its own and speaks for both services.
class CSystemEvents : public QObject {
  Q_OBJECT

 public:
  explicit CSystemEvents(QObject* parent = nullptr);

  // The connection to the system bus is made.
  bool IsListening() const { return m_bListening; }

  // Whether a NetworkManager state means the network can be reached: not
  // while asleep, disconnected or disconnecting; unknown or connecting
  // (0 or 40) says nothing, and is returned as the state before.
  static bool IsReachableState(uint state, bool bBefore);

 signals:
  void Sleeping();
  void Resumed();
  void NetworkChanged(bool bReachable);

 private slots:
  void OnPrepareForSleep(bool bSleeping);
  void OnNetworkState(uint state);

 private:
  void AskNetworkState();

  bool m_bListening = false;
  bool m_bReachable = true;
};
