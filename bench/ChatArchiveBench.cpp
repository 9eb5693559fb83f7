// The chat archive at the size of a busy year: one million lines in 20,000
// chats, written through the archive's queue as the recorder writes them.
// Measured: the insert rate, the cost of one recorded line on the caller's
// side, the search for one, two and three words, a word being typed, and a
// word within a visitor's chats; the file's size against the text's.
#include "ArchiveRecords.h"
#include "ChatArchive.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <random>

namespace {

constexpr int kChats = 20000;
constexpr int kLinesPerChat = 50;

// Words of the system's word list, the first ones the most frequent
// (Zipf's law, as in real chats).
struct Vocabulary {
  QStringList words;
  std::vector<double> cumulative;

  Vocabulary() {
    QFile list(QStringLiteral("/usr/share/dict/words"));
    if (list.open(QIODevice::ReadOnly | QIODevice::Text))
      while (!list.atEnd()) {
        const QString word = QString::fromUtf8(list.readLine()).trimmed();
        if (word.size() >= 2 && word.size() <= 10 && word.at(0).isLower() && !word.contains(u'\'')) words << word;
      }
    std::mt19937 shuffle(7);
    std::shuffle(words.begin(), words.end(), shuffle);
    words = words.mid(0, 30000);
    double total = 0;
    for (int rank = 1; rank <= words.size(); ++rank) cumulative.push_back(total += 1.0 / rank);
  }
  const QString& Pick(std::mt19937& random) const {
    const double at = std::uniform_real_distribution<double>(0, cumulative.back())(random);
    const auto found = std::lower_bound(cumulative.begin(), cumulative.end(), at);
    return words[int(std::min<std::ptrdiff_t>(found - cumulative.begin(), words.size() - 1))];
  }
};

const Vocabulary& Vocab() {
  static const Vocabulary vocabulary;
  return vocabulary;
}

const QStringList kFirstNames = {"Zoe", "Yuri", "Maria", "John", "Aiko", "Lars", "Fatima", "Pedro", "Olga", "Chen"};
const QStringList kLastNames = {"Smith", "Adams", "Novak", "Garcia", "Tanaka", "Berg", "Khan", "Silva", "Ivanova", "Li"};

struct Filled {
  QTemporaryDir folder;
  QString file;
  double seconds = 0;
  double enqueueSeconds = 0;
  qint64 textBytes = 0;
  qint64 fileBytes = 0;
};

qint64 FileBytes(const QString& file) {
  qint64 bytes = 0;
  for (const char* suffix : {"", "-wal", "-shm"}) bytes += QFileInfo(file + QLatin1String(suffix)).size();
  return bytes;
}

// The archive of a million lines, made once for every benchmark.
Filled& Archive() {
  static Filled* filled = [] {
    auto* made = new Filled;
    made->file = made->folder.filePath(QStringLiteral("archive.sqlite"));
    std::mt19937 random(42);
    const QDateTime first = QDateTime::currentDateTime().addDays(-80);
    QElapsedTimer total, enqueue;
    total.start();
    {
      CChatArchive archive(made->file);
      for (int c = 0; c < kChats; ++c) {
        ArchiveChat chat;
        chat.chatId = QString::number(100000 + c);
        chat.visitorName = kFirstNames[random() % kFirstNames.size()] + u' ' + kLastNames[random() % kLastNames.size()];
        chat.visitorEmail = chat.visitorName.toLower().replace(u' ', u'.') + QStringLiteral("@example.com");
        chat.visitorAddress = QStringLiteral("10.0.%1.%2").arg(c / 250).arg(c % 250);
        chat.operatorName = QStringLiteral("anna");
        chat.site = QStringLiteral("1001");
        chat.operatorChat = c % 10 == 0;
        chat.started = first.addSecs(qint64(c) * 80 * 24 * 3600 / kChats);
        QList<ArchiveLine> lines;
        for (int l = 0; l < kLinesPerChat; ++l) {
          ArchiveLine line;
          line.speaker = l % 2 ? ArchiveLine::Speaker::Own : ArchiveLine::Speaker::Other;
          line.speakerName = l % 2 ? QStringLiteral("anna") : chat.visitorName;
          QStringList said;
          for (int w = 3 + int(random() % 12); w > 0; --w) said << Vocab().Pick(random);
          line.text = line.speakerName + QStringLiteral(": ") + said.join(u' ');
          line.at = chat.started.addSecs(20 * l);
          made->textBytes += line.text.toUtf8().size();
          lines << line;
        }
        enqueue.start();
        const auto handle = archive.BeginChat(chat);
        for (const ArchiveLine& line : lines) archive.AddLines(handle, {line});
        archive.EndChat(handle, chat.started.addSecs(20 * kLinesPerChat), QStringLiteral("closed here"));
        made->enqueueSeconds += enqueue.nsecsElapsed() / 1e9;
        // The queue is kept short, as a console's would be.
        if (c % 50 == 49) archive.WaitUntilWritten();
      }
      archive.WaitUntilWritten();
    }
    made->seconds = total.nsecsElapsed() / 1e9;
    made->fileBytes = FileBytes(made->file);
    return made;
  }();
  return *filled;
}

void BM_FillMillionLines(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Archive().file);
  const Filled& filled = Archive();
  const double lines = double(kChats) * kLinesPerChat;
  state.counters["lines_per_s"] = lines / filled.seconds;
  state.counters["enqueue_us_per_line"] = filled.enqueueSeconds * 1e6 / lines;
  state.counters["text_MB"] = filled.textBytes / 1e6;
  state.counters["file_MB"] = filled.fileBytes / 1e6;
  state.counters["file_per_text"] = double(filled.fileBytes) / double(filled.textBytes);
}
BENCHMARK(BM_FillMillionLines)->Iterations(1)->Unit(benchmark::kSecond);

// One line recorded on the caller's side, while the worker writes.
void BM_RecordOneLine(benchmark::State& state) {
  QTemporaryDir folder;
  CChatArchive archive(folder.filePath(QStringLiteral("archive.sqlite")));
  ArchiveChat chat;
  chat.chatId = QStringLiteral("1");
  chat.started = QDateTime::currentDateTime();
  const auto handle = archive.BeginChat(chat);
  ArchiveLine line;
  line.text = QStringLiteral("Zoe Adams: where is my parcel, it should have come on monday");
  line.at = chat.started;
  int n = 0;
  for (auto _ : state) {
    archive.AddLines(handle, {line});
    if (++n % 1000 == 0) {
      state.PauseTiming();
      archive.WaitUntilWritten();
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_RecordOneLine)->Unit(benchmark::kMicrosecond);

// A search through the archive's queue, answered on this thread.
void Search(benchmark::State& state, const ArchiveQuery& query) {
  CChatArchive archive(Archive().file);
  archive.SetRetentionDays(0);
  int chats = 0, lines = 0;
  for (auto _ : state) {
    bool answered = false;
    archive.Search(query, &archive, [&](const QList<ArchiveHit>& hits) {
      chats = int(hits.size());
      lines = 0;
      for (const ArchiveHit& hit : hits) lines += int(hit.lines.size());
      answered = true;
    });
    while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  state.counters["chats"] = chats;
  state.counters["lines"] = lines;
}

ArchiveQuery QueryOf(std::initializer_list<int> ranks, const QString& typed = QString()) {
  ArchiveQuery query;
  QStringList words;
  for (int rank : ranks) words << Vocab().words[rank];
  query.words = words.join(u' ') + typed;
  return query;
}

// Ranks in the vocabulary: 10 is a common word, 300 a middling one, 5000 a rare one.
void BM_SearchOneWord(benchmark::State& state) { Search(state, QueryOf({int(state.range(0))}, " ")); }
BENCHMARK(BM_SearchOneWord)->Arg(10)->Arg(300)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_SearchTwoWords(benchmark::State& state) { Search(state, QueryOf({10, int(state.range(0))}, " ")); }
BENCHMARK(BM_SearchTwoWords)->Arg(20)->Arg(300)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_SearchThreeWords(benchmark::State& state) { Search(state, QueryOf({10, 20, int(state.range(0))}, " ")); }
BENCHMARK(BM_SearchThreeWords)->Arg(30)->Arg(300)->Arg(5000)->Unit(benchmark::kMillisecond);

// The last word still being typed: its first letters as a prefix.
void BM_SearchWhileTyping(benchmark::State& state) {
  ArchiveQuery query;
  query.words = Vocab().words[10] + u' ' + Vocab().words[300].left(int(state.range(0)));
  Search(state, query);
}
BENCHMARK(BM_SearchWhileTyping)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// A visitor's chats by name, alone and with a word.
void BM_SearchNameFilter(benchmark::State& state) {
  ArchiveQuery query = state.range(0) ? QueryOf({300}, " ") : ArchiveQuery();
  query.visitor = QStringLiteral("maria sm");
  Search(state, query);
}
BENCHMARK(BM_SearchNameFilter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
