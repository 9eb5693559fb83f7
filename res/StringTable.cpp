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
  {IDS_REQ_LOGIN, "/wn-login.php?loginid=%s&stid=%s&pwd=%s"},
  {IDS_REQ_REFRESH, "/wn-allonlineu.php?nadminid=%s&nsid=%s&nvar=Y"},
  {IDS_REQ_PARAMETERS, "/w-param.php?stid=%s&nvar=Y"},
  {IDS_REQ_STATUS_PREFIX, "/w-mrefresh.php?sid=%s&adminid=%s&action"},
  {IDS_REQ_STATUS_ONLINE, "/w-mrefresh.php?sid=%s&adminid=%s&action=lgon"},
  {IDS_REQ_STATUS_OFFLINE, "/w-mrefresh.php?sid=%s&adminid=%s&action=lgof"},
  {IDS_SAMPLE_REFRESH_REPLY,
   "s1<fld>10.0.0.1<fld>3<fld>In Site<fld>0:01:10<fld>Guest<fld>Delete<fld><fld>Invite"
   "<fld>BlockIP<fld>Pro-Pop<fld>/index.html<fld>#<blk>1<blk><blk><blk><blk><blk>"},
  {IDS_SAMPLE_LOGIN_ADDRESS, "http://127.0.0.1:8470/cpn/wn-login.php?loginid=demo&stid=1001&pwd=demo"},
  {IDS_DEFAULT_PREFIX, "/cpn"},
  {IDS_REQ_VISITOR_DETAILS, "/wn-lmudets.php?csesid=%s&nvar=Y"},
  {IDS_REQ_PROACTIVE_POP, "/w-prop.php?csesid=%s&prop=A&popwin=%s&ppurl=%s"},
  {IDS_REQ_ACTION, "/wn-action.php?action=%s&csesid=%s&sid=%s&adminid=%s"},
  {IDS_REQ_SAVE_MESSAGE, "/w-admsg.php?adid=%s&action=save&admsg=%s&adminid=%s&sid=%s"},
  {IDS_REQ_WAITING_MESSAGES, "/w-admsg.php?action=dsp&snd=p&adminid=%s&sid=%s"},
  {IDS_REQ_ALL_MESSAGES, "/w-admsg.php?action=dspall&adminid=%s&sid=%s"},
  {IDS_EMPTY_FIELDS, "\"Empty Username or password field\""},
  {IDS_PRODUCT_NAME, "Talvero"},
  {IDS_ACTION_REMOVE, "remove"},
  {IDS_ACTION_INVITE, "cinvt"},
  {IDS_ACTION_REFUSE, "refuse"},
  {IDS_REQ_CANNED_MESSAGES, "/wn-amespc.php?adminid=%s&sid=%s"},
  {IDS_REQ_ACCEPT_CHAT, "/w-adc.php?csesid=%s&ipaddr=%s&adminid=%s&sid=%s"},
  {IDS_REQ_SEND_LINE, "/w-amessub.php?say=%s&csesid=%s&adminid=%s&sid=%s"},
  {IDS_REQ_POLL_CHAT, "/wn-achats.php?uname=&adminid=%s&csesid=%s&ipadd=%s&sid=%s&lastnum=%s"},
  {IDS_REQ_TYPING_QUERY, "/w-otype.php?csesid=%s&stat=&sid=%s"},
  {IDS_PAGE_TRANSCRIPTS, "/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=transcript"},
  {IDS_PAGE_CONTROL_PANEL, "/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=control"},
  {IDS_PAGE_CHAT_HISTORY, "/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=vchathist&ipadd=%s"},
  {IDS_REQ_TRANSFER_CHAT, "/w-ctransf.php?csesid=%s&adid=%s&sid=%s&adminid=%s&action=trans"},
  {IDS_REQ_OPERATOR_TYPING, "/w-otype.php?csesid=%s&stat=otype&sid=%s"},
  {IDS_REQ_LOG_OUT, "/w-adminout.php?adminid=%s&sid=%s"},
  {IDS_REQ_NAME_AND_EMAIL, "/w-browser.php?csesid=%s&loginid=%s&stid=%s&opurl=namemail"},
  {IDS_STATUS_TOTALS, "Total Visitors: %d             Number of Chats: %d"},
  {IDS_STATUS_NO_TOTALS, "Total Visitors: 0             Number of Chats: 0"},
  {IDS_REQ_FOOT_PRINTS, "/w-lmfprint.php?csesid=%s"},
  {IDS_REQ_ACCEPT_OPERATOR_CHAT, "/wn-opacpt_chts.php?csesid=%s"},
  {IDS_REQ_INVITE_OPERATOR, "/wn-opacpt_chts.php?op2=%s&adminid=%s&init=Y&sid=%s"},
  {IDS_REQ_CLOSE_OPERATOR_CHAT, "/wn-opclchat.php?csesid=%s"},
  {IDS_REQ_OPERATOR_SEND_LINE, "/wn-op_messub.php?say=%s&csesid=%s&adminid=%s&sid=%s"},
  {IDS_REQ_OPERATOR_POLL, "/wn-opachats.php?csesid=%s&ipadd=%s&sid=%s&lastnum=%s"},
  {IDS_REQ_OPERATOR_TYPING_QUERY, "/wn-op_type.php?csesid=%s&stat=&sid=%s"},
  {IDS_REQ_LOG_OUT_OPERATOR, "/wn-opout.php?id2out=%s&sid=%s"},
  {IDS_REQ_OPERATOR_TYPING_NOTICE, "/wn-op_type.php?csesid=%s&stat=otype&sid=1&ct="},
  {IDS_PAGE_FILE_TRANSFER, "/wn-fuploadweb.php?adminid=%s&sid=%s&csesid=%s"},
  {IDS_PAGE_OPERATOR_TRANSCRIPTS, "/w-browser.php?loginid=%s&stid=%s&adm=%s&opurl=optranscript"},
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
