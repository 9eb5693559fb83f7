#include "FaultInjector.h"

#include <cstring>
#include <random>

std::optional<CFaultInjector::Kind> CFaultInjector::KindFromName(const QString& name) {
  if (name == QStringLiteral("delay")) return Kind::Delay;
  if (name == QStringLiteral("drop")) return Kind::Drop;
  if (name == QStringLiteral("garbage")) return Kind::Garbage;
  if (name == QStringLiteral("empty")) return Kind::Empty;
  if (name == QStringLiteral("truncated")) return Kind::Truncated;
  if (name == QStringLiteral("huge")) return Kind::Huge;
  if (name == QStringLiteral("badgateway")) return Kind::BadGateway;
  if (name == QStringLiteral("lost")) return Kind::Lost;
  if (name == QStringLiteral("none")) return Kind::None;
  return std::nullopt;
}

void CFaultInjector::Arm(Kind kind, int count, int delayMs, const QString& script, int durationMs) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_kind = kind;
  m_nRemaining = kind == Kind::None ? 0 : count;
  m_nDelayMs = delayMs;
  m_strScript = script;
  m_until.reset();
  if (kind != Kind::None && durationMs > 0)
    m_until = std::chrono::steady_clock::now() + std::chrono::milliseconds(durationMs);
}

CFaultInjector::Fault CFaultInjector::Take(const QString& script) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (!m_strScript.isEmpty() && script != m_strScript) return Fault{};
  if (m_until) {
    if (std::chrono::steady_clock::now() < *m_until) return Fault{m_kind, m_nDelayMs};
    m_until.reset();
    m_nRemaining = 0;
    return Fault{};
  }
  if (m_nRemaining <= 0) return Fault{};
  --m_nRemaining;
  return Fault{m_kind, m_nDelayMs};
}

void CFaultInjector::Delay(int delayMs) {
  std::unique_lock<std::mutex> guard(m_lock);
  m_released.wait_for(guard, std::chrono::milliseconds(delayMs), [this] { return m_bReleased; });
}

void CFaultInjector::Release() {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_bReleased = true;
  }
  m_released.notify_all();
}

QByteArray CFaultInjector::GarbageBody(unsigned seed) {
  // Random bytes with the protocol's favourite pieces mixed in: NUL bytes,
  // invalid UTF-8 and broken separators.
  static const char* const kPieces[] = {"<blk>", "<fl", "<fld>", "<ln>", "d>", "<tvr_blk>", "\xFF\xFE", "\0",
                                        "<subfld>", "\xC3", "DISCONN"};
  std::mt19937 random(seed);
  QByteArray body;
  const int n = 50 + int(random() % 400);
  for (int i = 0; i < n; ++i) {
    if (random() % 3 == 0) {
      const char* piece = kPieces[random() % (sizeof kPieces / sizeof *kPieces)];
      body.append(piece, piece[0] == 0 ? 1 : qsizetype(strlen(piece)));
    } else {
      body.append(char(random() % 256));
    }
  }
  return body;
}

QByteArray CFaultInjector::HugeBody() {
  QByteArray line = QByteArray(140, 'x') + "<fld>";
  QByteArray body;
  body.reserve(3'100'000);
  while (body.size() < 3'000'000) body += line;
  return body;
}

QByteArray CFaultInjector::TruncatedBody(const QByteArray& body) { return body.left(body.size() / 2); }
