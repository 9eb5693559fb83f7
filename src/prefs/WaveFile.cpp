#include "WaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;
// The format chunk comes first in every file we know of; looking further
// only reads a large file for nothing.
constexpr qint64 kSearchLimit = 64 * 1024;

quint32 Le32(const char* bytes) { return qFromLittleEndian<quint32>(bytes); }
quint16 Le16(const char* bytes) { return qFromLittleEndian<quint16>(bytes); }

bool IsPlayableFormat(const QByteArray& fmt) {
  if (fmt.size() < 16) return false;
  const quint16 format = Le16(fmt.constData());
  const quint16 channels = Le16(fmt.constData() + 2);
  const quint32 rate = Le32(fmt.constData() + 4);
  const quint16 bits = Le16(fmt.constData() + 14);
  const bool known = format == kFormatPcm || format == kFormatFloat || format == kFormatExtensible;
  return known && channels > 0 && rate > 0 && bits > 0;
}

}  // namespace

bool IsPlayableWave(const QString& path) {
  if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray header = file.read(12);
  if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE") return false;
  while (file.pos() < kSearchLimit) {
    const QByteArray chunk = file.read(8);
    if (chunk.size() < 8) return false;
    const quint32 size = Le32(chunk.constData() + 4);
    if (chunk.startsWith("fmt ")) return size >= 16 && IsPlayableFormat(file.read(16));
    // Chunks are padded to an even length.
    if (!file.seek(file.pos() + qint64(size) + (size & 1))) return false;
  }
  return false;
}
