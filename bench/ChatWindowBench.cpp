// A chat's poll: one reply of 50 lines (with emoticon codes and an address
// now and then) parsed, read into lines and drawn in the transcript, as the
// chat's session and its window do, against only finding the same reply's
// separators; and the memory one more open chat
// window costs (ten windows, divided by ten).
#include "ChatDlg.h"
#include "TranscriptLine.h"
#include "ChatManager.h"
#include "ChatPollReply.h"
#include "ChatRichEd.h"
#include "SilentDesktop.h"

#include "QtBenchMain.h"

#include <QApplication>

#include <malloc.h>

#include <string_view>

namespace {

// Fifty lines numbered from first, the way the service sends them.
QString PollReply(int first) {
  QStringList lines;
  for (int i = 0; i < 50; ++i) {
    lines.append(i % 3 == 0 ? QStringLiteral("Zoe: is the bag [:)] still at http://shop.example/bags/%1 today?").arg(first + i)
                            : QStringLiteral("anna: yes, it ships tomorrow from the warehouse, line %1").arg(first + i));
  }
  return lines.join(QStringLiteral("<tvr_ln>")) + QStringLiteral("<tvr_blk>%1<tvr_blk><tvr_blk>sound4<tvr_type_split>vt").arg(first + 49);
}

std::size_t CountSeparators(std::u16string_view text, std::u16string_view sep) {
  std::size_t count = 0;
  for (std::size_t at = text.find(sep); at != std::u16string_view::npos; at = text.find(sep, at + sep.size())) ++count;
  return count;
}

void BM_FindPollSeparatorsBaseline(benchmark::State& state) {
  const QString reply = PollReply(2);
  const std::u16string_view text(reinterpret_cast<const char16_t*>(reply.utf16()), std::size_t(reply.size()));
  for (auto _ : state) {
    std::size_t n = CountSeparators(text, u"<tvr_type_split>") + CountSeparators(text, u"<tvr_blk>") +
                    CountSeparators(text, u"<tvr_ln>");
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_FindPollSeparatorsBaseline)->Unit(benchmark::kMicrosecond);

void BM_ApplyPollReply(benchmark::State& state) {
  CChatRichEd transcript;
  int first = 2;
  for (auto _ : state) {
    const ChatPollReply reply = ChatPollReply::Parse(PollReply(first));
    for (const QString& text : reply.lines) transcript.AppendLine(TranscriptLine::Read(text, QStringLiteral("anna")));
    first += 50;
  }
  state.counters["lines_per_s"] = benchmark::Counter(50, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ApplyPollReply)->Unit(benchmark::kMicrosecond);

void BM_OpenChatWindowMemory(benchmark::State& state) {
  SilentDesktop desktop;
  CDesktopServices::Install(&desktop);
  {
    CChatManager engine;
    for (auto _ : state) {
      const size_t before = mallinfo2().uordblks;
      QList<CChatDlg*> windows;
      for (int i = 0; i < 10; ++i) {
        auto* session = new CVisitorChatSession(engine, nullptr, QStringLiteral("10.0.0.1"), QStringLiteral("c%1").arg(i),
                                                QStringLiteral("Zoe"), QString(), true);
        auto* chat = new CChatDlg(*session);
        session->setParent(chat);
        chat->show();
        windows.append(chat);
      }
      QCoreApplication::processEvents();
      state.counters["bytes_per_window"] = double(mallinfo2().uordblks - before) / 10;
      qDeleteAll(windows);
    }
  }
  CDesktopServices::Install(nullptr);
}
BENCHMARK(BM_OpenChatWindowMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

TALVERO_QT_BENCHMARK_MAIN()
