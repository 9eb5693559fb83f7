#include "SharedDictionary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

CSharedDictionary::CSharedDictionary(QString shippedPath, QString userPath)
    : m_strShippedPath(std::move(shippedPath)), m_strUserPath(std::move(userPath)) {}

CSharedDictionary& CSharedDictionary::Instance() {
  static CSharedDictionary store(CDictionary::FilePath(), UserFilePath());
  return store;
}

QString CSharedDictionary::UserFilePath() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  // XDG base directories must be absolute; a relative one is ignored.
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
  return base + QStringLiteral("/talvero/TVRDIC.dic");
}

bool CSharedDictionary::Acquire() {
  if (m_nHolders == 0 && !Load()) return false;
  ++m_nHolders;
  return true;
}

bool CSharedDictionary::Load() {
  m_strProblem.clear();
  m_added.clear();
  // A file cut short holds part of the words; checking against part of the
  // list would mark good words, so the shipped file counts only whole.
  const bool shipped = m_dictionary.Load(m_strShippedPath);
  if (!QFileInfo::exists(m_strUserPath)) {
    if (shipped) return true;
  } else if (!shipped) {
    // The operator's copy alone, when it is whole; which of its words were
    // added cannot be told without the shipped list.
    if (m_dictionary.Load(m_strUserPath)) return true;
  } else {
    CDictionary copy;
    const bool whole = copy.Load(m_strUserPath);
    for (const QByteArray& word : copy.Words()) {
      if (m_dictionary.Lookup(word) == CDictionary::Exact) continue;
      m_dictionary.AddWord(word);
      m_added.insert(word);
    }
    if (whole) return true;
    // The words read before the damage are kept: the damaged file is put
    // aside (an earlier one is not replaced) and the copy written anew.
    const QString aside = m_strUserPath + QStringLiteral(".damaged");
    if (!QFileInfo::exists(aside)) QFile::copy(m_strUserPath, aside);
    SaveUserCopy();
    m_strProblem = QStringLiteral("Your dictionary %1 cannot be read whole: the %2 added words read from it are kept, "
                                  "and the damaged file is kept as %3.")
                       .arg(m_strUserPath)
                       .arg(m_added.size())
                       .arg(aside);
    return true;
  }
  m_dictionary.Clear();
  m_added.clear();
  m_strProblem = QStringLiteral("Spell checking is off: no dictionary could be read (%1).")
                     .arg(QFileInfo::exists(m_strUserPath) ? m_strUserPath + QStringLiteral(", ") + m_strShippedPath
                                                           : m_strShippedPath);
  return false;
}

void CSharedDictionary::Release() {
  if (m_nHolders == 0) return;
  if (--m_nHolders == 0) {
    m_dictionary.Clear();
    m_added.clear();
  }
}

bool CSharedDictionary::SaveUserCopy() {
  return QDir().mkpath(QFileInfo(m_strUserPath).absolutePath()) && m_dictionary.Save(m_strUserPath);
}

bool CSharedDictionary::AddWord(const QByteArray& word) {
  // Saving a store nobody holds would replace the user's copy with this
  // one word.
  if (m_nHolders == 0) return false;
  if (m_dictionary.Lookup(word) != CDictionary::Exact) {
    m_dictionary.AddWord(word);
    m_added.insert(word);
  }
  return SaveUserCopy();
}

bool CSharedDictionary::RemoveWord(const QByteArray& word) {
  if (m_nHolders == 0 || !m_added.contains(word)) return false;
  m_dictionary.RemoveWord(word);
  m_added.remove(word);
  // With nothing of the operator's left, the shipped file says it all.
  if (m_added.isEmpty()) return QFile::remove(m_strUserPath) || !QFileInfo::exists(m_strUserPath);
  return SaveUserCopy();
}
