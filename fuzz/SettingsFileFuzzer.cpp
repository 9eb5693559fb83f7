// The settings file as the store reads it: whatever it holds, what is read
// is written back in a form that reads to the same settings.

#include "FuzzInput.h"
#include "SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSettingsFile file;
  file.Parse(InputBytes(data, size));
  const QByteArray written = file.Serialise();
  CSettingsFile again;
  again.Parse(written);
  FUZZ_CHECK(again.Serialise() == written);
  return 0;
}
