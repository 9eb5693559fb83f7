#include "DictionaryLanguages.h"

#include "AnsiCodePage.h"
#include "Dictionary.h"
#include "HunspellSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <thread>

namespace {

const QString kFilePattern = QStringLiteral("TVRDIC-%1.dic");

QString LanguageName(const QString& code) {
  const QLocale locale(code);
  const QString name = locale.nativeLanguageName();
  return name.isEmpty() ? code : name.left(1).toUpper() + name.mid(1);
}

// Latin letters are what the code page of the dictionary files holds.
bool WrittenInLatin(const QString& code) {
  const QLocale::Script script = QLocale(code).script();
  return script == QLocale::LatinScript || script == QLocale::AnyScript;
}

// The words of a Hunspell dictionary as a file of the console's format;
// the reason when it cannot be made.
QString MakeFile(const QString& hunspellDic, const QString& file) {
  QStringList words;
  QString error;
  if (!CHunspellSource::Expand(CHunspellSource::AffixFileFor(hunspellDic), hunspellDic, words, error)) return error;
  CDictionary dictionary;
  for (const QString& word : words)
    if (const QByteArray bytes = WordInAnsiCodePage(word); !bytes.isEmpty()) dictionary.AddWord(bytes);
  if (dictionary.IsEmpty()) return QStringLiteral("%1 holds no words Windows-1252 can hold").arg(hunspellDic);
  if (!QDir().mkpath(QFileInfo(file).absolutePath()) || !dictionary.Save(file))
    return QStringLiteral("cannot write %1").arg(file);
  return QString();
}

}  // namespace

CDictionaryLanguages::CDictionaryLanguages(QStringList consoleDirs, QStringList hunspellDirs, QString userDir)
    : m_consoleDirs(std::move(consoleDirs)), m_hunspellDirs(std::move(hunspellDirs)), m_strUserDir(std::move(userDir)) {}

CDictionaryLanguages::~CDictionaryLanguages() = default;

CDictionaryLanguages& CDictionaryLanguages::Instance() {
  static CDictionaryLanguages languages = [] {
    const QString shipped = QFileInfo(CDictionary::FilePath()).absolutePath();
    const QString user = QFileInfo(CSharedDictionary::UserFilePath()).absolutePath();
    QStringList hunspell = qEnvironmentVariable("TALVERO_HUNSPELL_DIRS").split(u':', Qt::SkipEmptyParts);
    if (hunspell.isEmpty()) hunspell = {QStringLiteral("/usr/share/hunspell")};
    return CDictionaryLanguages({user + QStringLiteral("/languages"), shipped}, hunspell, user);
  }();
  return languages;
}

QList<CDictionaryLanguages::Language> CDictionaryLanguages::Available() const {
  std::map<QString, Language> found;
  static const QRegularExpression kConsoleFile(QStringLiteral("^TVRDIC-([a-z]{2,3})\\.dic$"));
  static const QRegularExpression kHunspellFile(QStringLiteral("^([a-z]{2,3})(_[A-Z]{2})?\\.dic$"));
  for (const QString& dir : m_consoleDirs)
    for (const QString& name : QDir(dir).entryList({QStringLiteral("TVRDIC-*.dic")}, QDir::Files)) {
      const QString code = kConsoleFile.match(name).captured(1);
      if (!code.isEmpty() && code != QLatin1String(kDefaultCode) && !found.count(code))
        found[code] = {code, LanguageName(code), QDir(dir).filePath(name), QString(), WrittenInLatin(code)};
    }
  for (const QString& dir : m_hunspellDirs) {
    QStringList names = QDir(dir).entryList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name);
    // de_DE before de_AT: the country the language is named after first.
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
      const auto home = [](const QString& n) { return n.size() >= 5 && n.mid(3, 2).toLower() == n.left(2); };
      return home(a) && !home(b);
    });
    for (const QString& name : names) {
      const QString code = kHunspellFile.match(name).captured(1);
      if (code.isEmpty() || code == QLatin1String(kDefaultCode) || found.count(code)) continue;
      const QString dic = QDir(dir).filePath(name);
      if (CHunspellSource::AffixFileFor(dic).isEmpty()) continue;
      found[code] = {code, LanguageName(code), QDir(m_strUserDir).filePath(QStringLiteral("languages/") + kFilePattern.arg(code)),
                     dic, WrittenInLatin(code)};
    }
  }
  QList<Language> languages{{QLatin1String(kDefaultCode), QStringLiteral("English"), CDictionary::FilePath(), QString(), true}};
  for (const auto& [code, language] : found) languages.append(language);
  return languages;
}

std::optional<CDictionaryLanguages::Language> CDictionaryLanguages::Find(const QString& code) const {
  for (const Language& language : Available())
    if (language.code == code) return language;
  return std::nullopt;
}

QString CDictionaryLanguages::CodeOf(const QString& browserLanguage) {
  // The first language tag in the text: "de-DE" of "German (de-DE)".
  static const QRegularExpression kTag(QStringLiteral("\\b([a-zA-Z]{2,3})(?:[-_][a-zA-Z]{2,4})?\\b"));
  QString text = browserLanguage;
  const qsizetype open = text.indexOf(u'(');
  if (open >= 0) text = text.mid(open + 1);
  const QRegularExpressionMatch m = kTag.match(text);
  if (!m.hasMatch()) return QString();
  const QString code = m.captured(1).toLower();
  // A language name ("English") is no tag.
  return m.captured(0).size() == m.captured(1).size() && m.captured(1).size() > 3 ? QString() : code;
}

bool CDictionaryLanguages::IsReady(const QString& code) const { return IsReady(Find(code)); }

bool CDictionaryLanguages::IsReady(const std::optional<Language>& language) {
  return language && language->offered && (language->hunspellDic.isEmpty() || QFileInfo::exists(language->file));
}

void CDictionaryLanguages::Prepare(const QString& code) {
  const std::optional<Language> language = Find(code);
  if (!language || !language->offered || IsReady(language) || m_preparing.contains(code)) return;
  m_preparing.insert(code);
  // A large language takes a second or two: never on the user-interface thread.
  QPointer<CDictionaryLanguages> self(this);
  std::thread([self, code, dic = language->hunspellDic, file = language->file] {
    const QString problem = MakeFile(dic, file);
    QMetaObject::invokeMethod(QCoreApplication::instance(), [self, code, problem] {
      if (!self) return;
      self->m_preparing.remove(code);
      emit self->Prepared(code, problem.isEmpty(), problem);
    }, Qt::QueuedConnection);
  }).detach();
}

CSharedDictionary* CDictionaryLanguages::Store(const QString& code) {
  if (code == QLatin1String(kDefaultCode)) return &CSharedDictionary::Instance();
  std::shared_ptr<CSharedDictionary>& store = m_stores[code];
  if (store) return store.get();
  const std::optional<Language> language = Find(code);
  if (!IsReady(language)) return nullptr;
  store = std::make_shared<CSharedDictionary>(language->file, QDir(m_strUserDir).filePath(kFilePattern.arg(code)));
  return store.get();
}
