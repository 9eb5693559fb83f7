#pragma once

#include "SharedDictionary.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The languages the console can check. English comes from the shipped
// file; any other language from a dictionary file of the console's
// (TVRDIC-xx.dic, xx its language code, beside the shipped file or in
// "languages" of the user's data folder) or from a Hunspell dictionary of
// the system (xx_YY.dic with its .aff), which is made into a file of the
// console's format in "languages" the first time it is needed, on a thread
// of its own. The words the operator adds go to TVRDIC-xx.dic in the
// user's data folder, as English ones go to TVRDIC.dic there. A language
// written in letters that Windows-1252 cannot hold is listed, but not
// offered: checking it would mark every word.
class CDictionaryLanguages : public QObject {
  Q_OBJECT

 public:
  struct Language {
    QString code;         // "en", "de"
    QString name;         // in the language itself: "Deutsch"
    QString file;         // the console's dictionary file; may still have to be made
    QString hunspellDic;  // the system dictionary it is made from, or empty
    bool offered = true;
  };

  static constexpr const char* kDefaultCode = "en";

  // consoleDirs: where the console's own dictionary files may lie;
  // hunspellDirs: the system's Hunspell dictionaries; userDir: where the
  // operator's copies with added words go, and made files into its
  // "languages" folder.
  CDictionaryLanguages(QStringList consoleDirs, QStringList hunspellDirs, QString userDir);
  ~CDictionaryLanguages() override;
  // The program's languages: its data folders, /usr/share/hunspell (or the
  // folders of TALVERO_HUNSPELL_DIRS, separated by ':') and the user's
  // data folder.
  static CDictionaryLanguages& Instance();

  // Every language found, English first, the rest by code.
  QList<Language> Available() const;
  std::optional<Language> Find(const QString& code) const;
  // The language code of a browser language as the visitor details give it
  // ("German (de-DE)", "de-DE,de;q=0.9"), or empty.
  static QString CodeOf(const QString& browserLanguage);

  // Whether the language's file exists (always for English).
  bool IsReady(const QString& code) const;
  // Makes the file of a language from its Hunspell dictionary when it is
  // missing; Prepared follows on this object's thread. Asking again while it
  // is being made does nothing more.
  void Prepare(const QString& code);
  // The shared store of a language that is ready; nullptr otherwise.
  CSharedDictionary* Store(const QString& code);

 signals:
  void Prepared(const QString& code, bool ok, const QString& problem);

 private:
  static bool IsReady(const std::optional<Language>& language);

  QStringList m_consoleDirs;
  QStringList m_hunspellDirs;
  QString m_strUserDir;
  QSet<QString> m_preparing;
  QHash<QString, std::shared_ptr<CSharedDictionary>> m_stores;
};
