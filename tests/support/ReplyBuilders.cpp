#include "ReplyBuilders.h"

#include "Separators.h"

QString TestVisitor::Line() const {
  return QStringList{id,       ip,        QStringLiteral("3"),       status, duration, name, QStringLiteral("Delete"),
                     QString(), QStringLiteral("Invite"), QStringLiteral("BlockIP"), QStringLiteral("Pro-Pop"),
                     QStringLiteral("/index.html"), colour}
      .join(kSepField);
}

QString RefreshReplyText(const QList<TestVisitor>& visitors, const QString& total, const QString& sound,
                         const QString& operators, const QString& notice) {
  QStringList lines;
  for (const TestVisitor& v : visitors) lines.append(v.Line());
  const QString block0 = lines.isEmpty() ? QStringLiteral("No Users Online") : lines.join(kSepLine);
  return QStringList{block0, total, QString(), sound, notice, operators, QString()}.join(kSepBlock);
}

QString MakeRefreshReply(int nVisitors) {
  QString reply;
  reply.reserve(nVisitors * 160);
  for (int i = 0; i < nVisitors; ++i) {
    if (i > 0) reply += kSepLine;
    const bool chatting = i % 7 == 0;
    const QStringList fields = {
        QStringLiteral("sess%1").arg(i, 8, 10, QLatin1Char('0')),
        QStringLiteral("10.%1.%2.%3").arg(i / 65536 % 256).arg(i / 256 % 256).arg(i % 256),
        QString::number(1 + i % 40),
        chatting ? QStringLiteral("Chatting with: anna") : QStringLiteral("In Site"),
        QStringLiteral("0:%1:%2").arg(i / 60 % 60, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')),
        QStringLiteral("Visitor %1").arg(i),
        QStringLiteral("Delete"),
        chatting ? QString() : QStringLiteral("Busy"),
        chatting ? QString() : QStringLiteral("Invite"),
        QStringLiteral("BlockIP"),
        QStringLiteral("Pro-Pop"),
        QStringLiteral("/products/item-%1.html").arg(i % 500),
        i % 3 == 0 ? QStringLiteral("#00FF00") : QStringLiteral("#"),
    };
    reply += fields.join(kSepField);
  }
  reply += kSepBlock + QString::number(nVisitors) + kSepBlock + kSepBlock + QStringLiteral("sound1") + kSepBlock +
           kSepBlock + QStringLiteral("anna<subfld><subfld><subfld>Online") + kSepBlock;
  return reply;
}
