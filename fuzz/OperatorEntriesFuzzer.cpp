// The operators block of the refresh reply, kept in the operator list that
// feeds the Operators view and the operators boxes.

#include "FuzzInput.h"
#include "OperatorList.h"
#include "RefreshReply.h"
#include "Separators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static COperatorList list;
  // The input is the operators block; the refresh around it is well formed.
  const QString block = ReplyText(data, size);
  const RefreshReply reply =
      RefreshReply::Parse(QStringLiteral("No Users Online<blk>0<blk><blk><blk><blk>") + block + kSepBlock);
  FUZZ_CHECK(reply.wellFormed || block.contains(kSepBlock));
  list.SetEntries(reply.operators);
  FUZZ_CHECK(list.rowCount() == reply.operators.size());
  for (int row = 0; row < list.rowCount(); ++row) {
    for (int column = 0; column < list.columnCount(); ++column)
      for (int role : {int(Qt::DisplayRole), int(Qt::ToolTipRole), int(COperatorList::StatusRole)})
        (void)list.data(list.index(row, column), role);
    (void)COperatorList::StatusText(reply.operators[row]);
    const int found = list.Find(reply.operators[row].name);
    FUZZ_CHECK(found >= 0 && found <= row);
  }
  return 0;
}
