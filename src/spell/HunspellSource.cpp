#include "HunspellSource.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

namespace {

enum class FlagKind { Char, Long, Number, Utf8 };

// One element of an affix's condition: a letter, any letter, or a set.
struct ConditionPart {
  QString letters;  // empty: any letter
  bool negated = false;
};

struct Affix {
  QString strip;
  QString add;
  QList<ConditionPart> condition;
};

struct AffixGroup {
  bool prefix = false;
  bool crossProduct = false;
  QList<Affix> affixes;
};

QList<ConditionPart> ParseCondition(const QString& text) {
  QList<ConditionPart> parts;
  if (text == u".") return parts;
  for (qsizetype i = 0; i < text.size(); ++i) {
    ConditionPart part;
    if (text[i] == u'[') {
      const qsizetype end = text.indexOf(u']', i);
      if (end < 0) break;
      part.letters = text.mid(i + 1, end - i - 1);
      part.negated = part.letters.startsWith(u'^');
      if (part.negated) part.letters.remove(0, 1);
      i = end;
    } else if (text[i] != u'.') {
      part.letters = text[i];
    }
    parts.append(part);
  }
  return parts;
}

bool Fits(const ConditionPart& part, QChar c) {
  if (part.letters.isEmpty()) return true;
  return part.letters.contains(c) != part.negated;
}

// A suffix's condition stands at the stem's end, a prefix's at its start.
bool Meets(const QList<ConditionPart>& condition, const QString& stem, bool atStart) {
  const qsizetype n = condition.size();
  if (stem.size() < n) return false;
  for (qsizetype i = 0; i < n; ++i)
    if (!Fits(condition[i], atStart ? stem[i] : stem[stem.size() - n + i])) return false;
  return true;
}

QStringList FlagsOf(const QString& text, FlagKind kind) {
  QStringList flags;
  switch (kind) {
    case FlagKind::Long:
      for (qsizetype i = 0; i + 1 < text.size(); i += 2) flags.append(text.mid(i, 2));
      break;
    case FlagKind::Number:
      flags = text.split(u',', Qt::SkipEmptyParts);
      break;
    default:
      for (const QChar c : text) flags.append(QString(c));
  }
  return flags;
}

QString Decoded(const QByteArray& bytes, const QString& encoding, bool& ok) {
  QStringDecoder decoder(encoding.isEmpty() ? "ISO-8859-1" : encoding.toLatin1().constData());
  if (!decoder.isValid()) {
    ok = false;
    return {};
  }
  const QString text = decoder(bytes);
  ok = !decoder.hasError();
  return text;
}

}  // namespace

QString CHunspellSource::AffixFileFor(const QString& dicPath) {
  if (!dicPath.endsWith(QStringLiteral(".dic"))) return {};
  const QString aff = dicPath.chopped(4) + QStringLiteral(".aff");
  return QFileInfo(aff).isFile() ? aff : QString();
}

bool CHunspellSource::Expand(const QString& affPath, const QString& dicPath, QStringList& words, QString& error) {
  QFile affFile(affPath), dicFile(dicPath);
  if (!affFile.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("cannot read %1: %2").arg(affPath, affFile.errorString());
    return false;
  }
  if (!dicFile.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("cannot read %1: %2").arg(dicPath, dicFile.errorString());
    return false;
  }
  const QByteArray affBytes = affFile.readAll();
  // The encoding is named in the affix file, in ASCII, before any word.
  static const QRegularExpression kSet(QStringLiteral("^SET\\s+(\\S+)"), QRegularExpression::MultilineOption);
  const QString encoding = kSet.match(QString::fromLatin1(affBytes)).captured(1);
  bool ok = true;
  const QString aff = Decoded(affBytes, encoding, ok);
  if (!ok) {
    error = QStringLiteral("%1: cannot read its encoding %2").arg(affPath, encoding);
    return false;
  }

  FlagKind flagKind = FlagKind::Char;
  QSet<QString> standsNotAlone;  // NEEDAFFIX, FORBIDDENWORD, ONLYINCOMPOUND
  QHash<QString, AffixGroup> groups;
  for (const QString& line : aff.split(u'\n')) {
    const QStringList f = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (f.isEmpty() || f[0].startsWith(u'#')) continue;
    if (f[0] == u"FLAG" && f.size() >= 2) {
      flagKind = f[1] == u"long" ? FlagKind::Long : f[1] == u"num" ? FlagKind::Number
                 : f[1] == u"UTF-8" ? FlagKind::Utf8 : FlagKind::Char;
    } else if ((f[0] == u"NEEDAFFIX" || f[0] == u"FORBIDDENWORD" || f[0] == u"ONLYINCOMPOUND") && f.size() >= 2) {
      standsNotAlone.insert(f[1]);
    } else if ((f[0] == u"PFX" || f[0] == u"SFX") && f.size() >= 4) {
      AffixGroup& group = groups[f[1]];
      group.prefix = f[0] == u"PFX";
      bool counted = false;
      f[3].toInt(&counted);
      if (f.size() == 4 && (f[2] == u"Y" || f[2] == u"N") && counted) {  // the group's header
        group.crossProduct = f[2] == u"Y";
        continue;
      }
      if (f.size() < 5) continue;
      Affix affix;
      affix.strip = f[2] == u"0" ? QString() : f[2];
      affix.add = f[3].section(u'/', 0, 0);  // flags on the affix itself are not followed
      if (affix.add == u"0") affix.add.clear();
      affix.condition = ParseCondition(f[4]);
      group.affixes.append(affix);
    }
  }

  bool dicOk = true;
  const QString dic = Decoded(dicFile.readAll(), encoding, dicOk);
  if (!dicOk) {
    error = QStringLiteral("%1: not in its affix file's encoding %2").arg(dicPath, encoding);
    return false;
  }
  QSet<QString> seen;
  const auto add = [&](const QString& word) {
    // "-lieferung": a part of compounds only, no word of its own.
    if (word.startsWith(u'-') || word.endsWith(u'-')) return;
    if (!word.isEmpty() && !seen.contains(word)) {
      seen.insert(word);
      words.append(word);
    }
  };
  const QStringList lines = dic.split(u'\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {  // the first line is the count
    QString entry = lines[i].trimmed().section(QRegularExpression(QStringLiteral("\\s")), 0, 0);
    if (entry.isEmpty()) continue;
    // A slash of the word itself is written "\/".
    entry.replace(QStringLiteral("\\/"), QStringLiteral("\x01"));
    const QString stem = entry.section(u'/', 0, 0).replace(u'\x01', u'/');
    const QStringList flags = FlagsOf(entry.section(u'/', 1), flagKind);
    bool alone = true;
    for (const QString& flag : flags) alone = alone && !standsNotAlone.contains(flag);
    if (alone) add(stem);
    QStringList crossSuffixed;
    for (const QString& flag : flags) {
      const auto group = groups.constFind(flag);
      if (group == groups.constEnd() || group->prefix) continue;
      for (const Affix& a : group->affixes) {
        if (!stem.endsWith(a.strip) || !Meets(a.condition, stem, false)) continue;
        const QString word = stem.chopped(a.strip.size()) + a.add;
        add(word);
        if (group->crossProduct) crossSuffixed.append(word);
      }
    }
    for (const QString& flag : flags) {
      const auto group = groups.constFind(flag);
      if (group == groups.constEnd() || !group->prefix) continue;
      for (const Affix& a : group->affixes) {
        if (!stem.startsWith(a.strip) || !Meets(a.condition, stem, true)) continue;
        add(a.add + stem.mid(a.strip.size()));
        if (!group->crossProduct) continue;
        for (const QString& suffixed : crossSuffixed)
          if (suffixed.startsWith(a.strip)) add(a.add + suffixed.mid(a.strip.size()));
      }
    }
  }
  return true;
}
