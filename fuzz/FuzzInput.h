#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Shared by the harnesses: every one defines LLVMFuzzerTestOneInput and
// reads the fuzzer's bytes the way the program reads outside data.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

inline QByteArray InputBytes(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A reply body as the engine hands it to a reader: cut at the first NUL
// byte and decoded from UTF-8.
inline QString ReplyText(const uint8_t* data, size_t size) {
  const QByteArray body = InputBytes(data, size);
  const qsizetype nul = body.indexOf('\0');
  return QString::fromUtf8(nul < 0 ? body : body.first(nul));
}

// A property the reader must keep. A broken one ends the run like a crash,
// so the fuzzer keeps the input and the corpus run fails on it.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);    \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)
