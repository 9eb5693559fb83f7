#pragma once

#include <QString>
#include <QStringList>

// The words of a Hunspell dictionary: the stems of its .dic file with the
// prefixes and suffixes of its .aff file applied, as Hunspell would accept
// them standing alone. Stems marked as needing an affix, forbidden or only
// for compounds are left out as they are (their affixed forms stay);
// compounding and affixes on affixes are not expanded.
class CHunspellSource {
 public:
  // false, with the reason in error, when a file cannot be read or is not
  // in a form this reads.
  static bool Expand(const QString& affPath, const QString& dicPath, QStringList& words, QString& error);
  // The .aff file beside a .dic file of that name, or empty when none is.
  static QString AffixFileFor(const QString& dicPath);
};
