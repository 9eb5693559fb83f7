#pragma once

// The dictionary the program ships, and Hunspell's en_US beside it, each
// loaded once for a benchmark program. TALVERO_DICT_FILE, and
// TALVERO_HUNSPELL_AFF/_DIC where Hunspell is linked, come from the build.
#include "Dictionary.h"

#include <cstdlib>
#include <memory>

#if defined(TALVERO_HUNSPELL_AFF)
#include <hunspell.hxx>
#endif

// Loaded as the program loads it; with prepare, changed before it is used.
template <typename Prepare>
std::unique_ptr<CDictionary> LoadShippedDictionary(Prepare prepare) {
  auto d = std::make_unique<CDictionary>();
  if (!d->Load(TALVERO_DICT_FILE)) std::abort();
  prepare(*d);
  return d;
}

inline const CDictionary& ShippedDictionary() {
  static const std::unique_ptr<CDictionary> store = LoadShippedDictionary([](CDictionary&) {});
  return *store;
}

#if defined(TALVERO_HUNSPELL_AFF)
inline Hunspell& HunspellPeer() {
  static Hunspell hunspell(TALVERO_HUNSPELL_AFF, TALVERO_HUNSPELL_DIC);
  return hunspell;
}
#endif
