// The saved login's "Data" value: any bytes either read as a login (its
// password empty where the secret service keeps it) that stores back to
// itself, or as nothing.

#include "FuzzInput.h"
#include "SavedCredentials.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<Credentials> login = CSavedCredentials::FromStoredForm(InputBytes(data, size));
  if (!login) return 0;
  FUZZ_CHECK(!login->loginId.isEmpty() && !login->siteId.isEmpty());
  const std::optional<QByteArray> stored = CSavedCredentials::StoredForm(*login);
  if (!stored) return 0;  // a record the stored form cannot hold again
  const std::optional<Credentials> again = CSavedCredentials::FromStoredForm(*stored);
  FUZZ_CHECK(again && again->loginId == login->loginId && again->siteId == login->siteId &&
             again->password == login->password);
  return 0;
}
