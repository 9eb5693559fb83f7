#include "ServicePages.h"

#include "ServiceState.h"
#include <QUrl>
#include <QUrlQuery>

namespace {

QString Esc(const QString& text) { return text.toHtmlEscaped(); }

QString Page(const QString& title, const QString& body) {
  return QStringLiteral(
             "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>\n"
             "<style>\n"
             "body{font-family:sans-serif;font-size:13px;margin:12px;color:#222;background:#fff}\n"
             "h1{font-size:17px;color:#1d4f9c;margin:0 0 10px}h2{font-size:14px;margin:14px 0 6px}\n"
             "table{border-collapse:collapse;width:100%}th,td{border:1px solid #ccd;padding:3px 6px;text-align:left}\n"
             "th{background:#e8eef8}.line{margin:1px 0}.op{color:#b90000}.visitor{color:#0000ff}.notice{color:#008000}\n"
             ".chat{border:1px solid #ccd;padding:6px;margin:8px 0}.meta{color:#667;font-size:12px}\n"
             "form p{margin:6px 0}\n"
             "</style></head><body>\n<h1>%1</h1>\n%2\n</body></html>\n")
      .arg(Esc(title), body);
}

// The transcripts page again, with another opurl, as a relative address.
QString TranscriptsAddress(const Query& q, const QString& what) {
  QUrlQuery query;
  for (const char* name : {"loginid", "stid", "adm"})
    query.addQueryItem(QString::fromLatin1(name), q.value(QString::fromLatin1(name)));
  query.addQueryItem(QStringLiteral("opurl"), what);
  return QStringLiteral("w-browser.php?") + query.toString(QUrl::FullyEncoded);
}

}  // namespace

QString CServicePages::ChatTranscript(const QList<ChatLine>& lines) const {
  QString html;
  for (const ChatLine& line : lines) {
    const char* cls = line.fromVisitor ? "visitor" : (line.sender.isEmpty() ? "notice" : "op");
    html += QStringLiteral("<div class=\"line %1\">%2</div>\n").arg(QLatin1String(cls), Esc(line.text));
  }
  return html.isEmpty() ? QStringLiteral("<p class=\"meta\">No lines.</p>") : html;
}

ServiceReply CServicePages::Browser(const Query& q) {
  const QString what = q.value("opurl");
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(q.value("stid"));
  if (site == nullptr) return ServiceReply::Html(Page("Talvero", "<p>There is no such site.</p>"));
  const QString siteName = Esc(site->config.address);

  // "export": the transcripts as a text file, as the page's export link
  // downloads them.
  if (what == QStringLiteral("transcript") || what == QStringLiteral("vchathist") || what == QStringLiteral("export")) {
    const bool history = what == QStringLiteral("vchathist");
    const QString ip = q.value("ipadd");
    QString body;
    QString text;
    int shown = 0;
    auto addChat = [&](const QString& name, const QString& chatIp, const QString& op, qint64 at,
                       const QList<ChatLine>& lines) {
      if (history && chatIp != ip) return;
      ++shown;
      const QString who = name.isEmpty() ? QStringLiteral("Visitor") : name;
      const QString when = m_state.WallTime(at).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
      body += QStringLiteral("<div class=\"chat\"><div class=\"meta\">%1 (%2) with %3, %4</div>\n%5</div>\n")
                  .arg(Esc(who), Esc(chatIp), Esc(op), when, ChatTranscript(lines));
      text += QStringLiteral("%1 (%2) with %3, %4\n").arg(who, chatIp, op, when);
      for (const ChatLine& line : lines) text += line.text + u'\n';
      text += u'\n';
    };
    for (const ArchivedChat& c : site->archive) addChat(c.visitorName, c.visitorIp, c.operatorId, c.at, c.lines);
    for (const Visitor& v : site->visitors)
      if (v.hasChat && v.chat.state == VisitorChat::Active)
        addChat(v.name, v.ip, v.chat.operatorId + QStringLiteral(" (running)"), v.arrivedAt, v.chat.lines);
    if (what == QStringLiteral("export"))
      return ServiceReply{200, (QStringLiteral("Chat transcripts of %1\n\n").arg(site->config.address) + text).toUtf8(),
                          "text/plain; charset=utf-8"};
    if (shown == 0) body = QStringLiteral("<p>No chats yet.</p>");
    if (!history)
      body.prepend(QStringLiteral("<p><a href=\"%1\" target=\"_blank\">Open in a new window</a> | "
                                  "<a href=\"%2\" download=\"transcripts.txt\">Export as text</a></p>\n")
                       .arg(Esc(TranscriptsAddress(q, QStringLiteral("transcript"))),
                            Esc(TranscriptsAddress(q, QStringLiteral("export")))));
    // Its last element: a picture whose request says the page has been
    // read to its end, so a test knows its links are there to reach.
    if (!history) body += QStringLiteral("<img src=\"/transcripts-read.png\" alt=\"\" width=\"1\" height=\"1\">\n");
    const QString title = history ? QStringLiteral("Chat history of %1").arg(ip)
                                  : QStringLiteral("Chat transcripts of %1").arg(site->config.address);
    return ServiceReply::Html(Page(title, body));
  }

  if (what == QStringLiteral("optranscript")) {
    QString body;
    for (const OperatorChat& c : site->operatorChats)
      body += QStringLiteral("<div class=\"chat\"><div class=\"meta\">%1 and %2</div>\n%3</div>\n")
                  .arg(Esc(c.asker), Esc(c.invitee), ChatTranscript(c.lines));
    if (body.isEmpty()) body = QStringLiteral("<p>No operator chats yet.</p>");
    return ServiceReply::Html(Page(QStringLiteral("Operator chat transcripts"), body));
  }

  if (what == QStringLiteral("control")) {
    const qint64 now = m_state.Now();
    const bool admin = q.value("adm") == QStringLiteral("Y");
    QString body = QStringLiteral("<p>Site %1: <b>%2</b></p>\n<h2>Operators</h2>\n<table><tr><th>Login id</th>"
                                  "<th>Rights</th><th>Presence</th></tr>\n")
                       .arg(Esc(site->config.id), siteName);
    for (const OperatorState& op : site->operators)
      body += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n")
                  .arg(Esc(op.account.loginId), op.account.admin ? "Administrator" : "Operator",
                       site->IsOnline(op, now) ? "Online" : "Offline");
    body += QStringLiteral("</table>\n");
    int visitors = 0;
    for (const Visitor& v : site->visitors) visitors += v.departed ? 0 : 1;
    body += QStringLiteral("<h2>Site</h2><p>%1 visitors on the site, %2 chats kept.</p>\n")
                .arg(visitors)
                .arg(site->archive.size());
    if (admin) {
      QStringList blocked = site->blockedIps.values();
      blocked.sort();
      body += QStringLiteral("<h2>Blocked addresses</h2><p>%1</p>\n")
                  .arg(blocked.isEmpty() ? QStringLiteral("None.") : Esc(blocked.join(QStringLiteral(", "))));
      body += QStringLiteral("<h2>Canned responses</h2><table><tr><th>Category</th><th>Title</th><th>Text</th></tr>\n");
      for (const CannedEntry& c : site->config.canned)
        body += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>\n").arg(Esc(c.category), Esc(c.title), Esc(c.text));
      body += QStringLiteral("</table>\n");
    } else {
      body += QStringLiteral("<p class=\"meta\">Administrators see more here.</p>\n");
    }
    return ServiceReply::Html(Page(QStringLiteral("Control panel"), body));
  }
  return ServiceReply::Html(Page("Talvero", QStringLiteral("<p>Unknown page.</p>")));
}

ServiceReply CServicePages::FileTransferForm(const Query& q) {
  const QString form =
      QStringLiteral(
          "<form method=\"post\" enctype=\"multipart/form-data\" action=\"wn-fuploadweb.php\">\n"
          "<input type=\"hidden\" name=\"adminid\" value=\"%1\"><input type=\"hidden\" name=\"sid\" value=\"%2\">"
          "<input type=\"hidden\" name=\"csesid\" value=\"%3\">\n"
          "<p><input type=\"file\" name=\"file\"> <input type=\"submit\" value=\"Send\"></p>\n</form>")
          .arg(Esc(q.value("adminid")), Esc(q.value("sid")), Esc(q.value("csesid")));
  return ServiceReply::Html(Page(QStringLiteral("Send a file"), form));
}

ServiceReply CServicePages::FileUpload(const Query& fields, const QString& fileName, const QByteArray& data,
                                       const QString& contentType) {
  auto answer = [](const QString& text) { return ServiceReply::Html(Page(QStringLiteral("Send a file"), text)); };
  if (fileName.isEmpty()) return answer(QStringLiteral("<p>Please choose a file.</p>"));
  if (data.size() > kMaxUpload) return answer(QStringLiteral("<p>The file is larger than 10 MB.</p>"));
  std::lock_guard<std::mutex> guard(m_state.lock);
  Site* site = m_state.FindSite(fields.value("sid"));
  Visitor* v = site ? site->FindVisitor(fields.value("csesid")) : nullptr;
  const OperatorState* op = site ? site->FindOperator(fields.value("adminid")) : nullptr;
  if (v == nullptr || op == nullptr || !v->hasChat || v->chat.state != VisitorChat::Active)
    return answer(QStringLiteral("<p>This chat is not running.</p>"));
  const QString id = QString::number(m_state.files.size() + 1);
  const QString safeName = QString(fileName).replace(u'/', u'_').replace(u'\\', u'_');
  m_state.files.insert(id, {safeName, data, contentType.isEmpty() ? QStringLiteral("application/octet-stream") : contentType});
  const QString url =
      m_strBase + QStringLiteral("/files/") + id + u'/' + QString::fromLatin1(QUrl::toPercentEncoding(safeName));
  CServiceState::AppendLine(v->chat.lines,
                            op->account.loginId + QStringLiteral(": File sent: %1 %2").arg(safeName, url), false,
                            op->account.loginId, m_state.Now());
  return answer(QStringLiteral("<p>%1 was sent.</p>").arg(Esc(safeName)));
}

ServiceReply CServicePages::StoredFile(const QString& id) {
  std::lock_guard<std::mutex> guard(m_state.lock);
  const auto it = m_state.files.constFind(id);
  if (it == m_state.files.constEnd()) return ServiceReply::NotFound();
  return ServiceReply{200, it->data, it->contentType.toUtf8()};
}

ServiceReply CServicePages::SitePage(const QString& name) {
  if (name == QStringLiteral("winapp.html"))
    return ServiceReply::Html(Page(QStringLiteral("Welcome"),
                                   QStringLiteral("<p>Log in with your site id, login id and password.</p>"
                                                  "<p>Visitors waiting for you are shown as soon as you are in.</p>"
                                                  "<p class=\"meta\">Talvero live chat</p>")));
  if (name == QStringLiteral("order.php"))
    return ServiceReply::Html(Page(QStringLiteral("Sign up"),
                                   QStringLiteral("<p>Live chat for your web site, from one operator to a whole team."
                                                  " Write to sales@talvero.example to open an account.</p>")));
  if (name == QStringLiteral("contactus.php"))
    return ServiceReply::Html(Page(QStringLiteral("Contact"),
                                   QStringLiteral("<p>Talvero support: support@talvero.example</p>")));
  if (name == QStringLiteral("forpass.php"))
    return ServiceReply::Html(Page(QStringLiteral("Forgot your password?"),
                                   QStringLiteral("<p>Your site administrator can set a new password for you in the"
                                                  " control panel.</p>")));
  return ServiceReply::NotFound();
}
