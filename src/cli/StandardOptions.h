#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

// What every program of ours answers the same way: -h/--help and --version
// print and end with status 0; an option it does not know, or one without
// its value, prints a clear message to standard error and ends with 2.
class CStandardOptions {
 public:
  enum Outcome { Run, ShowHelp, ShowVersion, UsageError };

  explicit CStandardOptions(const QString& description)
      : m_version(m_parser.addVersionOption()), m_help(m_parser.addHelpOption()) {
    m_parser.setApplicationDescription(description);
  }

  // The program adds its own options and arguments here before Parse().
  QCommandLineParser& Parser() { return m_parser; }

  // Parses without printing; a problem the program finds in the values
  // themselves is reported with Fail().
  Outcome Parse(const QStringList& arguments) {
    if (!m_parser.parse(arguments)) return Fail(m_parser.errorText());
    if (m_parser.isSet(m_help)) return ShowHelp;
    if (m_parser.isSet(m_version)) return ShowVersion;
    return Run;
  }

  Outcome Fail(const QString& message) {
    m_error = message;
    return UsageError;
  }

  const QString& ErrorText() const { return m_error; }

  // Prints what the outcome asks for; the exit status to end with, or -1
  // when the program should run.
  int Finish(Outcome outcome) const {
    const QByteArray name = ProgramName().toLocal8Bit();
    switch (outcome) {
      case Run:
        return -1;
      case ShowHelp:
        std::fputs(m_parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
      case ShowVersion:
        std::printf("%s %s\n", name.constData(), QCoreApplication::applicationVersion().toLocal8Bit().constData());
        return 0;
      case UsageError:
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", name.constData(),
                     m_error.toLocal8Bit().constData(), name.constData());
        return 2;
    }
    return 2;
  }

  static QString ProgramName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

 private:
  QCommandLineParser m_parser;
  QCommandLineOption m_version;
  QCommandLineOption m_help;
  QString m_error;
};
