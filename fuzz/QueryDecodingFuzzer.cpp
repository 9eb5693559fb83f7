// The stand-in service's query decoding: the query text of a request as
// the server cuts and percent-decodes it, then turned into text by the
// service. Surrogate halves are only ever joined into whole characters.

#include "FuzzInput.h"
#include "ServiceServer.h"

#include <httplib.h>

namespace {

bool WellFormedUtf16(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate()) {
      if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) return false;
      ++i;
    } else if (text[i].isLowSurrogate()) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  httplib::Request request;
  httplib::detail::parse_query_text(std::string(reinterpret_cast<const char*>(data), size), request.params);
  const Query query = CServiceServer::DecodeQuery(request);
  for (auto it = query.begin(); it != query.end(); ++it)
    FUZZ_CHECK(WellFormedUtf16(it.key()) && WellFormedUtf16(it.value()));
  return 0;
}
