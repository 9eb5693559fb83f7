#include "HttpTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Download {
  QByteArray body;
  qsizetype capacity = 0;
  bool cut = false;
  QByteArray tail;
  qsizetype tailCapacity = 0;
  qint64 beyond = 0;  // bytes received after the body was full
  qsizetype readLimit = 0;
};

size_t OnBody(char* data, size_t size, size_t count, void* context) {
  auto* d = static_cast<Download*>(context);
  const size_t bytes = size * count;
  if (!d->cut && d->body.size() + qsizetype(bytes) <= d->capacity) {
    d->body.append(data, qsizetype(bytes));
    return bytes;
  }
  d->cut = true;
  d->beyond += qint64(bytes);
  if (d->body.size() + d->beyond > d->readLimit || d->tailCapacity <= 0) {
    d->tail.clear();  // not the body's end
    return 0;         // ends the transfer; what fitted is the reply
  }
  // The tail rolls: it is trimmed once it holds twice what is kept.
  d->tail.append(data, qsizetype(bytes));
  if (d->tail.size() > 2 * d->tailCapacity) d->tail.remove(0, d->tail.size() - d->tailCapacity);
  return bytes;
}

int OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* abort = static_cast<const std::atomic<bool>*>(context);
  return abort != nullptr && abort->load() ? 1 : 0;
}

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

struct CurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct HeaderDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

}  // namespace

QByteArray CHttpTransport::EscapeTarget(const QByteArray& target) {
  static const char kHex[] = "0123456789ABCDEF";
  QByteArray out;
  out.reserve(target.size() + target.size() / 4);
  for (qsizetype i = 0; i < target.size(); ++i) {
    const char c = target[i];
    const unsigned char u = static_cast<unsigned char>(c);
    const bool validEscape = c == '%' && i + 2 < target.size() && IsHex(target[i + 1]) && IsHex(target[i + 2]);
    const bool raw = u > 0x20 && u < 0x7F && c != '#' && std::strchr("\"<>\\^`{|}", c) == nullptr &&
                     (c != '%' || validEscape);
    if (raw) {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0x0F];
    }
  }
  return out;
}

CHttpTransport::Result CHttpTransport::Get(const QString& host, bool secure, const QString& target,
                                           const Options& options) {
  InitCurlOnce();
  Result result;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) {
    result.error = QStringLiteral("cannot start a request");
    return result;
  }
  const QByteArray url = (secure ? QByteArrayLiteral("https://") : QByteArrayLiteral("http://")) +
                         EscapeTarget(host.toUtf8()) + EscapeTarget(target.toUtf8());
  std::unique_ptr<curl_slist, HeaderDeleter> headers(
      curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded"));
  Download download;
  download.capacity = options.capacity;
  download.tailCapacity = options.tailCapacity;
  download.readLimit = std::max(options.readLimit, options.capacity);
  download.body.reserve(std::min<qsizetype>(options.capacity, 64 * 1024));
  const QByteArray caFile = options.caFile.toLocal8Bit();
  char errorText[CURL_ERROR_SIZE] = {0};

  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.constData());
  curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(c, CURLOPT_USERAGENT, "Talvero/" TALVERO_VERSION);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeoutMs));
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(options.totalTimeoutMs));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &download);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!caFile.isEmpty()) {
    // The extra CA goes in the CA file slot; the system's certificates stay
    // trusted through the CA folder.
    curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
    curl_easy_setopt(c, CURLOPT_CAPATH, "/etc/ssl/certs");
  }
  if (options.abort != nullptr) {
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, options.abort);
  }

  const CURLcode code = curl_easy_perform(c);
  if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && download.cut)) {
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    result.ok = true;
    result.status = int(status);
    result.cut = download.cut;
    if (download.cut && download.tail.size() > download.tailCapacity)
      download.tail.remove(0, download.tail.size() - download.tailCapacity);
    result.skipped = download.beyond - download.tail.size();
    result.tail = std::move(download.tail);
    result.body = std::move(download.body);
  } else {
    result.error = QString::fromUtf8(errorText[0] != 0 ? errorText : curl_easy_strerror(code));
  }
  return result;
}
