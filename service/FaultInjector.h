#pragma once

#include <QByteArray>
#include <QString>

#include <mutex>
#include <optional>

// Spoils the next N replies on purpose, for tests and demos of a bad
// network: a delay, a dropped connection, garbage, an empty or a huge body.
class CFaultInjector {
 public:
  enum class Kind { None, Delay, Drop, Garbage, Empty, Huge };

  struct Fault {
    Kind kind = Kind::None;
    int delayMs = 0;
  };

  static std::optional<Kind> KindFromName(const QString& name);

  // With a script name only that script's replies are spoiled.
  void Arm(Kind kind, int count, int delayMs, const QString& script = QString());
  // The fault for the reply of this script about to go out, counting it down.
  Fault Take(const QString& script);

  static QByteArray GarbageBody(unsigned seed);
  static QByteArray HugeBody();

 private:
  std::mutex m_lock;
  Kind m_kind = Kind::None;
  int m_nRemaining = 0;
  int m_nDelayMs = 0;
  QString m_strScript;
};
