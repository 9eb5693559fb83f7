#pragma once

#include "Dictionary.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

// The one word store of the process, shared by every spell-checking entry
// box: the shipped list is about 3 MB in memory, too much to hold once
// per open chat. It is loaded when the first box switches spell checking on
// and freed when the last one lets go, and a word added in one box is known
// in every box at once.
//
// Added words go to the user's copy of the file, since the installed one is
// not the operator's to write. The copy holds the whole store (the shipped
// words and the added ones), so that any version of the program can read
// it. The store reads the shipped file and takes in what the copy holds
// beyond it: the words the operator added, and a newer shipped list's words
// are never hidden by an old copy.
class CSharedDictionary {
 public:
  CSharedDictionary(QString shippedPath, QString userPath);
  CSharedDictionary(const CSharedDictionary&) = delete;
  CSharedDictionary& operator=(const CSharedDictionary&) = delete;

  // The program's store: the shipped file found by CDictionary::FilePath(),
  // the user's copy at UserFilePath().
  static CSharedDictionary& Instance();
  // $XDG_DATA_HOME/talvero/TVRDIC.dic, under ~/.local/share when unset.
  static QString UserFilePath();

  // Takes a share of the store, loading it first when nobody holds it.
  // false, holding nothing, when neither file can be read whole.
  bool Acquire();
  // Why the last load could not read every file whole, in words for the
  // operator; empty when all went well.
  QString Problem() const { return m_strProblem; }
  // Gives back a share taken by a successful Acquire; the last one frees
  // the words.
  void Release();
  int Holders() const { return m_nHolders; }

  // Only while held.
  CDictionary::LookupResult Lookup(const QByteArray& word) const { return m_dictionary.Lookup(word); }
  int Suggest(const QByteArray& word, QStringList& list, CDictionary::LookupResult& code) const {
    return m_dictionary.Suggest(word, list, code);
  }
  // Adds the word and saves the user's copy, creating its folder. false when
  // nobody holds the store, or when saving failed (the word then stays
  // known until the store is freed).
  bool AddWord(const QByteArray& word);
  // A word of the operator's own: in the user's copy, not in the shipped file.
  bool IsAdded(const QByteArray& word) const { return m_added.contains(word); }
  // Takes an added word out of the store and the user's copy (the copy goes
  // when no added word is left). false when the word was not added, nobody
  // holds the store, or saving failed.
  bool RemoveWord(const QByteArray& word);

  const CDictionary& Dictionary() const { return m_dictionary; }

 private:
  bool Load();
  bool SaveUserCopy();

  const QString m_strShippedPath;
  const QString m_strUserPath;
  CDictionary m_dictionary;
  int m_nHolders = 0;
  QString m_strProblem;
  QSet<QByteArray> m_added;
};
