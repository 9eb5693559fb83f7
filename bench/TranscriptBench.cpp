// Appending chat lines to a transcript: 2,000 lines of about 250
// characters with emoticon codes and addresses, which cross the size bound
// four times, beside appending the same text to a plain QTextEdit.
#include "ChatRichEd.h"

#include "QtBenchMain.h"

#include <QApplication>
#include <QTextEdit>

#include <malloc.h>

namespace {

QStringList ChatLines() {
  QStringList lines;
  const QString filler = QStringLiteral("thanks for waiting, the order ships on monday and the tracking number follows ");
  for (int i = 0; i < 2000; ++i) {
    lines.append(QStringLiteral("Zoe: [:)] line %1 see http://shop.example/item-%1 and www.example.com/help [:D] ")
                     .arg(i) +
                 filler + filler + QStringLiteral("\r\n"));
  }
  return lines;
}

void BM_TranscriptAppend(benchmark::State& state) {
  QList<TranscriptLine> lines;
  for (const QString& text : ChatLines()) lines.append(TranscriptLine::Read(text, QStringLiteral("anna")));
  for (auto _ : state) {
    CChatRichEd transcript;
    for (const TranscriptLine& line : lines) transcript.AppendLine(line);
    benchmark::DoNotOptimize(transcript.TextLength());
  }
  state.counters["lines_per_s"] = benchmark::Counter(double(lines.size()), benchmark::Counter::kIsIterationInvariantRate);
  // The memory one transcript holds after the 2,000 lines.
  const size_t before = mallinfo2().uordblks;
  auto* held = new CChatRichEd;
  for (const TranscriptLine& line : lines) held->AppendLine(line);
  state.counters["held_bytes"] = double(mallinfo2().uordblks - before);
  state.counters["held_chars"] = held->TextLength();
  delete held;
}
BENCHMARK(BM_TranscriptAppend)->Unit(benchmark::kMillisecond);

// The floor: the same text appended as it is, through QTextEdit's own append.
void BM_PlainTextEditAppend(benchmark::State& state) {
  const QStringList lines = ChatLines();
  for (auto _ : state) {
    QTextEdit plain;
    plain.setReadOnly(true);
    for (const QString& line : lines) plain.append(line.chopped(2));
    benchmark::DoNotOptimize(plain.document()->characterCount());
  }
  state.counters["lines_per_s"] = benchmark::Counter(double(lines.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PlainTextEditAppend)->Unit(benchmark::kMillisecond);

}  // namespace

TALVERO_QT_BENCHMARK_MAIN()
