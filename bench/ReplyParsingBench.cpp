// Splitting a refresh reply of 10,000 visitors, and applying refresh replies
// to the console's visitor table, against the bare cost of finding the
// reply's separators.
#include "ChatManager.h"
#include "SilentDesktop.h"
#include "MainDlg.h"
#include "OperatorList.h"
#include "Presence.h"
#include "RefreshCycle.h"
#include "RefreshReply.h"
#include "ReplyBuilders.h"
#include "Separators.h"
#include "SplitReply.h"
#include "VisitorTableModel.h"

#include "QtBenchMain.h"

#include <QThreadPool>

#include <QApplication>
#include <QMap>

#include <malloc.h>

#include <string_view>

namespace {

const QString& Reply10k() {
  static const QString reply = MakeRefreshReply(10000);
  return reply;
}

// Blocks, then lines, then fields: what the console does with a reply.
void BM_SplitReply(benchmark::State& state) {
  const QString& reply = Reply10k();
  for (auto _ : state) {
    const QStringList blocks = SplitReply(reply, kSepBlock);
    qsizetype fields = 0;
    for (const QString& line : SplitReply(blocks.first(), kSepLine)) fields += SplitReply(line, kSepField).size();
    benchmark::DoNotOptimize(fields);
  }
  state.SetBytesProcessed(state.iterations() * reply.size() * 2);
  state.counters["bytes"] = double(reply.size() * 2);
}
BENCHMARK(BM_SplitReply)->Unit(benchmark::kMillisecond);

// The floor: only find every separator of the same three levels, copying
// nothing.
std::size_t CountSeparators(std::u16string_view text, std::u16string_view sep) {
  std::size_t count = 0;
  for (std::size_t at = text.find(sep); at != std::u16string_view::npos; at = text.find(sep, at + sep.size()))
    ++count;
  return count;
}

const QString& ReplyOf(int visitors) {
  static QMap<int, QString> replies;
  if (!replies.contains(visitors)) replies.insert(visitors, MakeRefreshReply(visitors));
  return replies[visitors];
}

void BM_FindSeparatorsBaseline(benchmark::State& state) {
  const QString& reply = ReplyOf(int(state.range(0)));
  const std::u16string_view text(reinterpret_cast<const char16_t*>(reply.utf16()), std::size_t(reply.size()));
  for (auto _ : state) {
    std::size_t n = CountSeparators(text, u"<blk>") + CountSeparators(text, u"<ln>") + CountSeparators(text, u"<fld>");
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(state.iterations() * reply.size() * 2);
}
BENCHMARK(BM_FindSeparatorsBaseline)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Cutting a refresh reply into records: the part that runs on the
// request's worker thread.
void BM_ParseRefresh(benchmark::State& state) {
  const QString& reply = ReplyOf(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(RefreshReply::Parse(reply));
}
BENCHMARK(BM_ParseRefresh)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// What a refresh costs the console short of painting: splitting the reply,
// building the visitor records and updating the table in place. Two replies
// that differ in every duration alternate, so every row changes each time.
void BM_ApplyRefresh(benchmark::State& state) {
  const int visitors = int(state.range(0));
  const QString replies[2] = {MakeRefreshReply(visitors), MakeRefreshReply(visitors).replace("0:", "1:")};
  CVisitorTableModel model;
  int which = 0;
  for (auto _ : state) {
    RefreshReply reply = RefreshReply::Parse(replies[which ^= 1]);
    model.SetVisitors(std::move(reply.rows));
  }
  state.counters["rows_per_s"] = benchmark::Counter(double(visitors), benchmark::Counter::kIsIterationInvariantRate);

  // The memory the table then holds.
  CVisitorTableModel held;
  const size_t before = mallinfo2().uordblks;
  {
    RefreshReply reply = RefreshReply::Parse(replies[0]);
    held.SetVisitors(std::move(reply.rows));
  }
  const double bytes = double(mallinfo2().uordblks - before);
  state.counters["table_bytes"] = bytes;
  state.counters["bytes_per_row"] = bytes / visitors;
}
BENCHMARK(BM_ApplyRefresh)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Runs apply(console, which) each iteration against an offline console (so
// no presence request goes out), which flipping between the two replies so
// that every apply changes rows.
template <typename Apply>
void RunOnConsole(benchmark::State& state, Apply apply) {
  SilentDesktop desktop;
  CDesktopServices::Install(&desktop);
  {
    CChatManager engine;
    engine.SetDefaultHost(QStringLiteral("127.0.0.1:1"));
    CConsoleSession session(engine);
    CMainDlg console(session);
    console.OnOffline();
    // A refresh replaces a full table; only the first one fills an empty one.
    int which = 0;
    apply(console, which);
    QThreadPool::globalInstance()->waitForDone();
    for (auto _ : state) {
      apply(console, which ^= 1);
      // The rows replaced are freed on a pool thread; refreshes come seconds
      // apart, so that freeing never meets the next parse as it would here
      // (both then fight over the allocator's lock).
      state.PauseTiming();
      QThreadPool::globalInstance()->waitForDone();
      state.ResumeTiming();
    }
    state.counters["rows_per_s"] =
        benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
  }
  CDesktopServices::Install(nullptr);
}

// The whole console's apply of a refresh reply, as a reply of the server
// reaches it: the status line, the table with its selection, the operators
// and their box, and the sounds.
void BM_ConsoleApplyRefresh(benchmark::State& state) {
  const int visitors = int(state.range(0));
  const QString replies[2] = {MakeRefreshReply(visitors), MakeRefreshReply(visitors).replace("0:", "1:")};
  RunOnConsole(state, [&](CMainDlg& console, int which) { console.Session().Refresh().Apply(replies[which]); });
}
BENCHMARK(BM_ConsoleApplyRefresh)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The user-interface thread's part of a refresh: the reply arrives parsed
// from the worker. Its time per iteration is the longest the console keeps
// input waiting for one refresh.
void BM_ConsoleApplyParsed(benchmark::State& state) {
  const int visitors = int(state.range(0));
  const QString texts[2] = {MakeRefreshReply(visitors), MakeRefreshReply(visitors).replace("0:", "1:")};
  const RefreshReply parsed[2] = {RefreshReply::Parse(texts[0]), RefreshReply::Parse(texts[1])};
  RunOnConsole(state, [&](CMainDlg& console, int which) { console.Session().Refresh().Apply(texts[which], parsed[which]); });
}
BENCHMARK(BM_ConsoleApplyParsed)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

TALVERO_QT_BENCHMARK_MAIN()
