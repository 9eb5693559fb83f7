#pragma once

#include <QString>
#include <QStringList>

// The program's string table: fixed texts and server request templates,
// looked up by their resource id (see ResourceIds.h).
class CStringTable {
 public:
  // The text of the string resource, or an empty text for an unknown id.
  static QString Load(int id);

  // Fills a template the way a printf-style format is filled: each "%s" or
  // "%d" takes the next argument in order, "%%" stands for one percent sign.
  // Placeholders without an argument are left empty.
  static QString Format(int id, const QStringList& args);
  static QString FormatText(const QString& format, const QStringList& args);
};
