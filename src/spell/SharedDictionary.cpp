#include "SharedDictionary.h"

#include <QDir>
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
  if (m_nHolders == 0) {
    m_strProblem.clear();
    // A file cut short leaves part of the words; checking against part of
    // the list would mark good words, so such a file is not used at all.
    bool loaded = false;
    if (QFileInfo::exists(m_strUserPath)) {
      loaded = m_dictionary.Load(m_strUserPath);
      if (!loaded)
        m_strProblem = QStringLiteral("Your dictionary %1 cannot be read, so the words you added are missing; "
                                      "spell checking uses the shipped dictionary.")
                           .arg(m_strUserPath);
    }
    if (!loaded) loaded = m_dictionary.Load(m_strShippedPath);
    if (!loaded) {
      m_dictionary.Clear();
      m_strProblem = QStringLiteral("Spell checking is off: no dictionary could be read (%1).")
                         .arg(QFileInfo::exists(m_strUserPath) ? m_strUserPath + QStringLiteral(", ") + m_strShippedPath
                                                               : m_strShippedPath);
      return false;
    }
  }
  ++m_nHolders;
  return true;
}

void CSharedDictionary::Release() {
  if (m_nHolders == 0) return;
  if (--m_nHolders == 0) m_dictionary.Clear();
}

bool CSharedDictionary::AddWord(const QByteArray& word) {
  // Saving a store nobody holds would replace the user's copy with this
  // one word.
  if (m_nHolders == 0) return false;
  m_dictionary.AddWord(word);
  return QDir().mkpath(QFileInfo(m_strUserPath).absolutePath()) && m_dictionary.Save(m_strUserPath);
}
