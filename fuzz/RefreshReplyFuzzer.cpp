// The console's refresh reply, read and shown: the parsed visitors go into
// the visitor table, and every cell is asked for every role the view uses.

#include "FuzzInput.h"
#include "RefreshReply.h"
#include "VisitorTableModel.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "talvero-fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);  // the row images are pixmaps
    return true;
  }();
  (void)ready;
  static CVisitorTableModel model;

  const RefreshReply reply = RefreshReply::Parse(ReplyText(data, size));
  FUZZ_CHECK(reply.total >= 0);
  if (!reply.wellFormed) FUZZ_CHECK(reply.rows.isEmpty() && reply.operators.isEmpty());
  FUZZ_CHECK(reply.chatCount >= 0 && reply.chatCount <= reply.rows.size());
  model.SetVisitors(reply.rows);
  FUZZ_CHECK(model.rowCount() == reply.rows.size());
  for (int row = 0; row < model.rowCount(); ++row) {
    for (int column = 0; column < model.columnCount(); ++column) {
      const QModelIndex index = model.index(row, column);
      for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(Qt::DecorationRole), int(Qt::BackgroundRole),
                       int(Qt::ForegroundRole)})
        (void)model.data(index, role);
    }
    FUZZ_CHECK(model.Find(reply.rows[row].m_line.sessionId) != nullptr);
  }
  return 0;
}
