#include "AutoStart.h"

#include "AppIdentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {

const QString kGroup = QStringLiteral("[Desktop Entry]");

// Characters that need a backslash inside a quoted Exec argument.
bool NeedsQuoteEscape(QChar c) { return c == u'"' || c == u'`' || c == u'$' || c == u'\\'; }

// The escapes of a desktop entry string value, applied before the quoting rules.
QString EscapeValue(const QString& text) {
  QString out;
  for (const QChar c : text) {
    if (c == u'\\') out += QStringLiteral("\\\\");
    else if (c == u'\n') out += QStringLiteral("\\n");
    else if (c == u'\t') out += QStringLiteral("\\t");
    else if (c == u'\r') out += QStringLiteral("\\r");
    else out += c;
  }
  return out;
}

QString UnescapeValue(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != u'\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const QChar next = text[++i];
    if (next == u's') out += u' ';
    else if (next == u'n') out += u'\n';
    else if (next == u't') out += u'\t';
    else if (next == u'r') out += u'\r';
    else if (next == u'\\') out += u'\\';
    else out += QString(u'\\') + next;  // not a value escape: left for the quoting rules
  }
  return out;
}

// Key=value lines of the [Desktop Entry] group; keys compare exactly.
QString ReadKey(const QString& entryText, const QString& key) {
  bool inGroup = false;
  QString value;
  const QStringList lines = entryText.split(u'\n');
  for (QString line : lines) {
    if (line.endsWith(u'\r')) line.chop(1);
    if (line.startsWith(u'[')) {
      inGroup = line == kGroup;
      continue;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (!inGroup || eq < 0 || line.left(eq).trimmed() != key) continue;
    value = line.mid(eq + 1);
    while (value.startsWith(u' ') || value.startsWith(u'\t')) value.remove(0, 1);
  }
  return value;
}

QString AutoStartFolder() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
  return base + QStringLiteral("/autostart/");
}

bool RemoveIfThere(const QString& path) { return !QFileInfo::exists(path) || QFile::remove(path); }

bool EntryStarts(const QString& path, const QString& programPath) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  const QString text = QString::fromUtf8(file.readAll());
  // A desktop that switches the entry off marks it hidden rather than deleting it.
  if (ReadKey(text, QStringLiteral("Hidden")) == QStringLiteral("true")) return false;
  return CAutoStart::ProgramOfExec(ReadKey(text, QStringLiteral("Exec"))) == programPath;
}

}  // namespace

QString CAutoStart::EntryPath() { return AutoStartFolder() + QLatin1StringView(kDesktopId) + QStringLiteral(".desktop"); }

QString CAutoStart::EarlierEntryPath() { return AutoStartFolder() + QStringLiteral("talvero.desktop"); }

QString CAutoStart::ProgramPath() { return QCoreApplication::applicationFilePath(); }

QStringList& CAutoStart::Arguments() {
  static QStringList arguments;
  return arguments;
}

void CAutoStart::SetArguments(const QStringList& arguments) { Arguments() = arguments; }

QString CAutoStart::ExecValue(const QString& programPath, const QStringList& arguments) {
  QStringList quoted;
  for (const QString& argument : QStringList{programPath} + arguments) {
    QString one = QStringLiteral("\"");
    for (const QChar c : argument) {
      if (NeedsQuoteEscape(c)) one += u'\\';
      one += c;
    }
    quoted.append(one + u'"');
  }
  // "%" starts a field code anywhere in Exec, quoted or not.
  return EscapeValue(quoted.join(u' ')).replace(u'%', QStringLiteral("%%"));
}

QString CAutoStart::ProgramOfExec(const QString& execValue) {
  const QString command = UnescapeValue(execValue).trimmed();
  QString program;
  if (command.startsWith(u'"')) {
    for (qsizetype i = 1; i < command.size() && command[i] != u'"'; ++i) {
      if (command[i] == u'\\' && i + 1 < command.size() && NeedsQuoteEscape(command[i + 1])) ++i;
      program += command[i];
    }
  } else {
    program = command.section(u' ', 0, 0);
  }
  return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

bool CAutoStart::Set(bool bOn, const QString& programPath) {
  const QString path = EntryPath();
  if (!bOn) return RemoveIfThere(EarlierEntryPath()) && RemoveIfThere(path);
  if (!QDir().mkpath(QFileInfo(path).path())) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  QTextStream out(&file);
  out << kGroup << "\n"
      << "Type=Application\n"
      << "Name=Talvero\n"
      << "Comment=Live chat console for support operators\n"
      << "Exec=" << ExecValue(programPath, Arguments()) << "\n"
      << "Icon=" << kDesktopId << "\n"
      << "Terminal=false\n";
  out.flush();
  return file.commit() && RemoveIfThere(EarlierEntryPath());
}

bool CAutoStart::IsOn(const QString& programPath) {
  return EntryStarts(EntryPath(), programPath) || EntryStarts(EarlierEntryPath(), programPath);
}
