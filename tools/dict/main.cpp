// talvero-dict: builds and inspects dictionary files for whoever prepares
// word lists. Exit status 0 on success, 1 when a file cannot be read or
// written or is damaged, 2 on a usage error.
#include "AnsiCodePage.h"
#include "Dictionary.h"
#include "HunspellSource.h"
#include "StandardOptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

constexpr int kFileError = 1;

const char kCommands[] =
    "Builds and inspects the console's dictionary files.\n"
    "\n"
    "Commands:\n"
    "  build WORDLIST OUT.dic [COMMON]\n"
    "                           build a dictionary file from a word list\n"
    "                           (UTF-8, one word a line, blank lines skipped),\n"
    "                           or from a Hunspell dictionary NAME.dic with its\n"
    "                           NAME.aff beside it (affixes applied, such as\n"
    "                           /usr/share/hunspell/de_DE.dic);\n"
    "                           COMMON lists words in order of use, commonest\n"
    "                           first, to rank suggestions (words of it that the\n"
    "                           word list lacks are left out)\n"
    "  lookup DIC WORD...       the lookup result of each word\n"
    "  suggest DIC WORD...      the lookup result and the suggestions of each word,\n"
    "                           best first (at most ten)\n"
    "  dump DIC                 every stored word, in the tree's order\n"
    "\n"
    "Exit status: 0 done, 1 a file cannot be read or written or is damaged, 2 a usage error.";

void Out(const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

int Fail(const QString& message) {
  std::fprintf(stderr, "talvero-dict: %s\n", message.toUtf8().constData());
  return kFileError;
}

const char* ResultName(CDictionary::LookupResult result) {
  switch (result) {
    case CDictionary::Exact: return "Exact";
    case CDictionary::FirstLetterCase: return "FirstLetterCase";
    case CDictionary::CaseDiffers: return "CaseDiffers";
    case CDictionary::NotFound: return "NotFound";
    case CDictionary::StoreEnded: return "StoreEnded";
  }
  return "?";
}

QString ResultText(CDictionary::LookupResult result) {
  return QString::number(int(result)) + u' ' + QLatin1StringView(ResultName(result));
}

// Loads path, telling a file that cannot be read from one that is damaged.
bool LoadOrSay(CDictionary& dictionary, const QString& path, int& status) {
  QFile probe(path);
  if (!probe.open(QIODevice::ReadOnly)) {
    status = Fail(QStringLiteral("cannot read %1: %2").arg(path, probe.errorString()));
    return false;
  }
  probe.close();
  if (!dictionary.Load(path)) {
    status = Fail(QStringLiteral("%1 is damaged: it ends before the dictionary is complete").arg(path));
    return false;
  }
  return true;
}

// The words of a Hunspell dictionary with its affixes applied. A language
// most of whose words the code page cannot hold is refused whole: checking
// the few that fit would mark everything else wrong.
bool ReadHunspell(const QString& affPath, const QString& dicPath, QList<QByteArray>& words, int& status) {
  QStringList expanded;
  QString error;
  if (!CHunspellSource::Expand(affPath, dicPath, expanded, error)) {
    status = Fail(error);
    return false;
  }
  for (const QString& word : expanded)
    if (const QByteArray bytes = WordInAnsiCodePage(word); !bytes.isEmpty()) words.append(bytes);
  if (words.size() * 2 < expanded.size()) {
    status = Fail(QStringLiteral("%1: %2 of its %3 words have letters that Windows-1252 cannot hold; "
                                 "this language cannot be offered")
                      .arg(dicPath)
                      .arg(expanded.size() - words.size())
                      .arg(expanded.size()));
    return false;
  }
  return true;
}

// The words of a UTF-8 list, one a line, blank lines skipped, each in the
// dictionary's code page; a word that would not come back as written is
// left out rather than stored changed. false with the failure said.
bool ReadWordList(const QString& listPath, QList<QByteArray>& words, int& status) {
  QFile list(listPath);
  QByteArray content;
  if (list.open(QIODevice::ReadOnly)) content = list.readAll();
  if (!list.isOpen() || list.error() != QFileDevice::NoError) {
    status = Fail(QStringLiteral("cannot read %1: %2").arg(listPath, list.errorString()));
    return false;
  }
  const QList<QByteArray> lines = content.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString where = QStringLiteral("%1:%2").arg(listPath).arg(i + 1);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString word = QString(utf8(lines[i])).trimmed();
    if (utf8.hasError()) {
      status = Fail(where + QStringLiteral(": not valid UTF-8"));
      return false;
    }
    if (word.isEmpty()) continue;
    const QByteArray bytes = WordInAnsiCodePage(word);
    if (bytes.isEmpty()) {
      std::fprintf(stderr, "talvero-dict: %s: skipped \"%s\": Windows-1252 cannot hold it\n",
                   where.toUtf8().constData(), word.toUtf8().constData());
      continue;
    }
    words.append(bytes);
  }
  return true;
}

int Build(const QString& listPath, const QString& outPath, const QString& commonPath) {
  QList<QByteArray> words;
  int status = 0;
  const QString affPath = CHunspellSource::AffixFileFor(listPath);
  if (!(affPath.isEmpty() ? ReadWordList(listPath, words, status) : ReadHunspell(affPath, listPath, words, status)))
    return status;
  if (words.isEmpty()) return Fail(QStringLiteral("%1 holds no words").arg(listPath));
  CDictionary dictionary;
  for (const QByteArray& word : words) dictionary.AddWord(word);
  if (!commonPath.isEmpty()) {
    QList<QByteArray> common;
    if (!ReadWordList(commonPath, common, status)) return status;
    // Only words the file holds are ranked.
    common.removeIf([&dictionary](const QByteArray& w) { return dictionary.Lookup(w) != CDictionary::Exact; });
    dictionary.SetRanks(common);
  }
  if (!dictionary.Save(outPath)) return Fail(QStringLiteral("cannot write %1").arg(outPath));
  Out(QStringLiteral("%1: %2 words, %3 nodes, %4 ranked")
          .arg(outPath)
          .arg(words.size())
          .arg(dictionary.NodeCount())
          .arg(dictionary.RankedWords().size()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationVersion(QStringLiteral(TALVERO_VERSION));
  CStandardOptions cli(QString::fromLatin1(kCommands));
  cli.Parser().addPositionalArgument(QStringLiteral("command"), QStringLiteral("build, lookup, suggest or dump"),
                                     QStringLiteral("COMMAND [ARGUMENT...]"));
  const auto Usage = [&cli](const char* problem) { return cli.Finish(cli.Fail(QString::fromLatin1(problem))); };
  const CStandardOptions::Outcome outcome = cli.Parse(QCoreApplication::arguments());
  if (outcome != CStandardOptions::Run) return cli.Finish(outcome);
  QStringList args = cli.Parser().positionalArguments();
  if (args.isEmpty()) return Usage("no command given");

  const QString command = args.takeFirst();
  int status = 0;
  if (command == u"build") {
    if (args.size() != 2 && args.size() != 3)
      return Usage("build takes a word list, the file to write and an optional list of common words");
    status = Build(args[0], args[1], args.value(2));
  } else if (command == u"lookup" || command == u"suggest") {
    if (args.size() < 2) return Usage("lookup and suggest take a dictionary file and at least one word");
    CDictionary dictionary;
    if (!LoadOrSay(dictionary, args[0], status)) return status;
    for (const QString& word : args.mid(1)) {
      const QByteArray bytes = ToAnsiCodePage(word);
      if (command == u"lookup") {
        Out(word + u'\t' + ResultText(dictionary.Lookup(bytes)));
        continue;
      }
      QStringList suggestions;
      CDictionary::LookupResult code;
      dictionary.Suggest(bytes, suggestions, code);
      suggestions.prepend(ResultText(code));
      Out(word + u'\t' + suggestions.join(u'\t'));
    }
  } else if (command == u"dump") {
    if (args.size() != 1) return Usage("dump takes one dictionary file");
    CDictionary dictionary;
    if (!LoadOrSay(dictionary, args[0], status)) return status;
    for (const QByteArray& word : dictionary.Words()) Out(FromAnsiCodePage(word));
  } else if (command == u"help") {
    return cli.Finish(CStandardOptions::ShowHelp);
  } else {
    return Usage("unknown command");
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail(QStringLiteral("cannot write the output"));
  return status;
}
