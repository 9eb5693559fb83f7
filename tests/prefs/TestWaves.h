#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// A short sound file: RIFF/WAVE with the given format tag, optionally an
// odd-sized chunk before "fmt " (which must be skipped with its pad byte).
inline QByteArray WaveBytes(quint16 formatTag = 1, bool chunkBeforeFormat = false) {
  auto le32 = [](quint32 v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; };
  auto le16 = [](quint16 v) { QByteArray b(2, '\0'); qToLittleEndian(v, b.data()); return b; };
  QByteArray body = "WAVE";
  if (chunkBeforeFormat) body += "LIST" + le32(3) + "abc" + QByteArray(1, '\0');
  body += "fmt " + le32(16) + le16(formatTag) + le16(1) + le32(8000) + le32(16000) + le16(2) + le16(16);
  body += "data" + le32(4) + QByteArray(4, '\0');
  return "RIFF" + le32(quint32(body.size())) + body;
}

inline QString WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}
