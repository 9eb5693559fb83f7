#pragma once

#include "ArchiveRecords.h"
#include "TranscriptLine.h"

#include <QString>

// An archived chat written out for the operator to keep or pass on: as
// plain text, or as an HTML page with the transcript view's colours, the
// chat's facts first, then every line with its time. Texts of the chat
// are escaped in the page: nothing of a line runs as markup.
class CTranscriptExport {
 public:
  enum class Format { PlainText, Html };

  // The line as the transcript view draws it.
  static TranscriptLine ShownLine(const ArchiveLine& line);
  // HTML for a file named .html or .htm, else plain text.
  static Format FormatFor(const QString& path);
  static QString PlainText(const ArchiveChat& chat, const QList<ArchiveLine>& lines);
  static QString Html(const ArchiveChat& chat, const QList<ArchiveLine>& lines);
  // Writes the chat to `path` in the format its name asks for, in UTF-8,
  // whole or not at all; the reason when it could not, else empty.
  static QString Write(const QString& path, const ArchiveChat& chat, const QList<ArchiveLine>& lines);
  // A file name for the chat: the visitor and the day, without characters
  // a file name cannot hold.
  static QString ProposedName(const ArchiveChat& chat);
};
