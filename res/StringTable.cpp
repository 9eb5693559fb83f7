#include "StringTable.h"

#include "ResourceIds.h"

#include <QHash>

namespace {

struct Entry {
  int id;
  const char* text;  // UTF-8
};

// clang-format off
const Entry kStrings[] = {
  {IDS_ABOUTBOX, "&About Talvero..."},
  {IDS_SERVICE_HOST, "127.0.0.1:8470"},
  {IDS_SAMPLE_REFRESH_REPLY,
   "s1<fld>10.0.0.1<fld>3<fld>In Site<fld>0:01:10<fld>Guest<fld>Delete<fld><fld>Invite"
   "<fld>BlockIP<fld>Pro-Pop<fld>/index.html<fld>#<blk>1<blk><blk><blk><blk><blk>"},
  {IDS_SAMPLE_LOGIN_ADDRESS, "http://127.0.0.1:8470/cpn/wn-login.php?loginid=demo&stid=1001&pwd=demo"},
  {IDS_DEFAULT_PREFIX, "/cpn"},
  {IDS_EMPTY_FIELDS, "\"Empty Username or password field\""},
  {IDS_PRODUCT_NAME, "Talvero"},
  {IDS_ACTION_REMOVE, "remove"},
  {IDS_ACTION_INVITE, "cinvt"},
  {IDS_ACTION_REFUSE, "refuse"},
  {IDS_STATUS_TOTALS, "Total Visitors: %d             Number of Chats: %d"},
  {IDS_STATUS_NO_TOTALS, "Total Visitors: 0             Number of Chats: 0"},
  {IDS_ACTION_BLOCK_IP, "blockip"},
};
// clang-format on

const QHash<int, QString>& Table() {
  static const QHash<int, QString> table = [] {
    QHash<int, QString> t;
    for (const Entry& e : kStrings) t.insert(e.id, QString::fromUtf8(e.text));
    return t;
  }();
  return table;
}

}  // namespace

QString CStringTable::Load(int id) { return Table().value(id); }

QString CStringTable::Format(int id, const QStringList& args) { return FormatText(Load(id), args); }

QString CStringTable::FormatText(const QString& format, const QStringList& args) {
  QString out;
  out.reserve(format.size() + 16 * args.size());
  int next = 0;
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar c = format.at(i);
    if (c != u'%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    const QChar conversion = format.at(i + 1);
    if (conversion == u's' || conversion == u'd') {
      if (next < args.size()) out += args.at(next);
      ++next;
      ++i;
    } else if (conversion == u'%') {
      out += u'%';
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}
