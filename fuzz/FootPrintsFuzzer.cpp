// The foot-prints reply, shown in the foot-prints panel.

#include "FuzzApplication.h"
#include "FuzzInput.h"
#include "GetFootDlg.h"
#include "Separators.h"
#include "SplitReply.h"

#include <QTableWidget>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  EnsureFuzzApplication();
  static CGetFootDlg panel;
  const QString text = ReplyText(data, size);
  panel.ShowFootPrints(0, text, kSepField, true, QStringLiteral("Guest"));
  const qsizetype pieces = text.isEmpty() || text == kDisconnect ? 0 : SplitReply(text, kSepField).size();
  FUZZ_CHECK(panel.List()->rowCount() == pieces);
  for (const QString& piece : SplitReply(text, kSepField)) {
    QString page, duration;
    CGetFootDlg::SplitPiece(piece, page, duration);
    FUZZ_CHECK(!page.contains(u' '));
    FUZZ_CHECK(page.size() + duration.size() <= piece.size());
  }
  return 0;
}
