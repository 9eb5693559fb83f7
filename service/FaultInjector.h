#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

// Spoils the next N replies on purpose, or every reply for a while, for
// tests and demos of a bad network: a delay, a dropped connection, garbage,
// an empty, a truncated or a huge body, a proxy's 502 error page, or a
// request lost before it reached the service.
class CFaultInjector {
 public:
  enum class Kind { None, Delay, Drop, Garbage, Empty, Truncated, Huge, BadGateway, Lost };

  struct Fault {
    Kind kind = Kind::None;
    int delayMs = 0;
  };

  static std::optional<Kind> KindFromName(const QString& name);

  // With a script name only that script's replies are spoiled. With a
  // duration (ms) every reply within it is spoiled, whatever the count.
  void Arm(Kind kind, int count, int delayMs, const QString& script = QString(), int durationMs = 0);
  // The fault for the reply of this script about to go out, counting it down.
  Fault Take(const QString& script);

  // Holds a reply back for the fault's delay, or until Release().
  void Delay(int delayMs);
  // Lets every delayed reply go at once, now and from now on: the service
  // is stopping and must not wait out its faults.
  void Release();

  static QByteArray GarbageBody(unsigned seed);
  static QByteArray HugeBody();
  // The first half of a reply, sent as if it were all of it.
  static QByteArray TruncatedBody(const QByteArray& body);

 private:
  std::mutex m_lock;
  std::condition_variable m_released;
  bool m_bReleased = false;
  Kind m_kind = Kind::None;
  int m_nRemaining = 0;
  int m_nDelayMs = 0;
  QString m_strScript;
  std::optional<std::chrono::steady_clock::time_point> m_until;  // a fault lasting a time
};
