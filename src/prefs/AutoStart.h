#pragma once

#include <QString>
#include <QStringList>

// Automatic start with the desktop session: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/org.talvero.Console.desktop (~/.config/autostart
// when the variable is unset or relative), named and drawn like the launcher
// entry, present only while automatic start is on. Its Exec is the program's
// path, quoted as desktop entries require. Earlier versions wrote
// autostart/talvero.desktop: it still counts, and goes when the entry is
// written anew or switched off, so the program never starts twice.
class CAutoStart {
 public:
  static QString EntryPath();
  static QString EarlierEntryPath();
  // The program file of this process.
  static QString ProgramPath();

  // What the entry passes to the program after its path, so that it starts
  // the console as it runs now (the service it was pointed at); set at start-up.
  static void SetArguments(const QStringList& arguments);

  // Writes (atomically) or removes the entry; false when that failed.
  static bool Set(bool bOn, const QString& programPath = ProgramPath());
  // The entry exists, is not hidden, and its Exec starts exactly this program.
  static bool IsOn(const QString& programPath = ProgramPath());

  // The Exec value that runs the program: each argument in double quotes,
  // with the quoting escapes, then the value escapes, and "%" doubled.
  static QString ExecValue(const QString& programPath, const QStringList& arguments = {});
  // The program of an Exec value (its first argument), undoing ExecValue.
  static QString ProgramOfExec(const QString& execValue);

 private:
  static QStringList& Arguments();
};

// The names the console has always called.
inline bool SetAutoStart(bool bOn) { return CAutoStart::Set(bOn); }
inline bool IsAutoStart() { return CAutoStart::IsOn(); }
