#include "TranscriptExport.h"

#include "ArchiveHitDelegate.h"
#include "ChatRichEd.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

QString Time(const QDateTime& at) { return at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

// The chat's facts, label and value, those known only.
QList<QPair<QString, QString>> Facts(const ArchiveChat& chat) {
  QList<QPair<QString, QString>> facts;
  const auto add = [&facts](const char* label, const QString& value) {
    if (!value.isEmpty()) facts.append({QString::fromLatin1(label), value});
  };
  add(chat.operatorChat ? "Operator" : "Visitor", chat.visitorName);
  add("E-mail", chat.visitorEmail);
  add("Address", chat.visitorAddress);
  add("Page", chat.page);
  add("Site", chat.site);
  add("Taken by", chat.operatorName);
  add("Started", chat.started.isValid() ? Time(chat.started) : QString());
  add("Ended", chat.ended.isValid() ? Time(chat.ended) : QString());
  add("How it ended", chat.endedHow);
  return facts;
}

}  // namespace

TranscriptLine CTranscriptExport::ShownLine(const ArchiveLine& line) {
  TranscriptLine shown;
  shown.text = line.text;
  shown.at = line.at;
  switch (line.speaker) {
    case ArchiveLine::Speaker::Own: shown.speaker = TranscriptLine::Speaker::Own; break;
    case ArchiveLine::Speaker::Other: shown.speaker = TranscriptLine::Speaker::Other; break;
    case ArchiveLine::Speaker::Notice: shown.speaker = TranscriptLine::Speaker::Notice; break;
  }
  return shown;
}

CTranscriptExport::Format CTranscriptExport::FormatFor(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("html") || suffix == QLatin1String("htm") ? Format::Html : Format::PlainText;
}

QString CTranscriptExport::PlainText(const ArchiveChat& chat, const QList<ArchiveLine>& lines) {
  QString text;
  for (const auto& [label, value] : Facts(chat)) text += label + QStringLiteral(": ") + value + u'\n';
  text += u'\n';
  for (const ArchiveLine& line : lines) text += u'[' + Time(line.at) + QStringLiteral("] ") + line.text + u'\n';
  return text;
}

QString CTranscriptExport::Html(const ArchiveChat& chat, const QList<ArchiveLine>& lines) {
  QString html = QStringLiteral(
                     "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title></head>\n<body>\n<table>\n")
                     .arg(CArchiveHitDelegate::Who(chat).toHtmlEscaped());
  for (const auto& [label, value] : Facts(chat))
    html += QStringLiteral("<tr><th align=\"left\">%1</th><td>%2</td></tr>\n").arg(label, value.toHtmlEscaped());
  html += QStringLiteral("</table>\n<p>\n");
  for (const ArchiveLine& line : lines)
    html += QStringLiteral("<span style=\"color:%1\">[%2] %3</span><br>\n")
                .arg(CChatRichEd::LineColour(ShownLine(line).speaker).name(), Time(line.at),
                     line.text.toHtmlEscaped());
  return html + QStringLiteral("</p>\n</body></html>\n");
}

QString CTranscriptExport::Write(const QString& path, const ArchiveChat& chat, const QList<ArchiveLine>& lines) {
  const QString text = FormatFor(path) == Format::Html ? Html(chat, lines) : PlainText(chat, lines);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size() || !file.commit()) return file.errorString();
  return QString();
}

QString CTranscriptExport::ProposedName(const ArchiveChat& chat) {
  QString who = chat.visitorName.isEmpty() ? chat.visitorAddress : chat.visitorName;
  static const QString kUnfit = QStringLiteral("/\\:*?\"<>|");
  for (QChar& c : who)
    if (kUnfit.contains(c) || c.isSpace() || c.category() == QChar::Other_Control) c = u'_';
  if (who.isEmpty()) who = QStringLiteral("chat");
  return QStringLiteral("%1 %2.txt").arg(who, chat.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")));
}
