// A dictionary file as the spell checker loads it. A file read complete is
// saved and read again to the same words; any file, complete or not, can be
// looked up in and suggested from. (A damaged file may list a word that a
// lookup misses, say one behind a repeated letter of its chain: no fault.)

#include "Dictionary.h"
#include "FuzzInput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Saving syncs the file to disk; in memory that costs nothing.
  static QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                  ? QStringLiteral("/dev/shm/talvero-fuzz-XXXXXX")
                                  : QDir::tempPath() + QStringLiteral("/talvero-fuzz-XXXXXX"));
  static const QString input = folder.filePath(QStringLiteral("input.dic"));
  static const QString saved = folder.filePath(QStringLiteral("saved.dic"));
  {
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(InputBytes(data, size));
  }
  CDictionary dictionary;
  const bool complete = dictionary.Load(input);
  const QList<QByteArray> words = dictionary.Words();
  for (qsizetype i = 0; i < words.size() && i < 8; ++i) {
    (void)dictionary.Lookup(words[i]);
    QStringList suggestions;
    CDictionary::LookupResult code;
    dictionary.Suggest(words[i] + 'x', suggestions, code);
  }
  if (complete && !dictionary.IsEmpty()) {
    FUZZ_CHECK(dictionary.Save(saved));
    CDictionary again;
    FUZZ_CHECK(again.Load(saved));
    FUZZ_CHECK(again.Words() == words);
  }
  return 0;
}
