#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>

// Blocking HTTP and HTTPS GET on libcurl, one connection per request, run on
// the calling thread.
class CHttpTransport {
 public:
  struct Options {
    int connectTimeoutMs = 10000;
    int totalTimeoutMs = 60000;
    // One extra CA certificate file trusted besides the system's store.
    QString caFile;
    // The body is read in chunks until the next one would pass this many
    // bytes; from there on only its last tailCapacity bytes are kept, so
    // that a reply cut in the middle still has its end. A body longer than
    // readLimit is not read further, and then has no tail.
    qsizetype capacity = 2500000;
    qsizetype tailCapacity = 64 * 1024;
    qsizetype readLimit = 32 * 1024 * 1024;
    // Set from another thread to give up a transfer early.
    const std::atomic<bool>* abort = nullptr;
  };

  struct Result {
    bool ok = false;       // the server answered (any status, any body)
    int status = 0;        // its HTTP status
    QByteArray body;       // the body as received, possibly cut at capacity
    bool cut = false;      // the body was longer than the capacity
    QByteArray tail;       // when cut: the body's last bytes (empty past readLimit)
    qint64 skipped = 0;    // when cut: bytes between body and tail left out
    QString error;         // why the request failed, when it did
  };

  // host is a name or address with an optional ":port" (80 or 443 by default);
  // target is the path and query as the caller built it.
  static Result Get(const QString& host, bool secure, const QString& target, const Options& options);

  // Percent-encodes what may not stand raw in a request target: space, '#',
  // a '%' that does not begin an escape, control characters, bytes of 0x80
  // and above, and the characters " < > \ ^ ` { | }. Everything else,
  // valid escapes included, passes unchanged.
  static QByteArray EscapeTarget(const QByteArray& target);
};
