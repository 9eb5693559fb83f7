#pragma once

#include <QString>
#include <QStringList>

// Builders of refresh replies for the console tests.
struct TestVisitor {
  QString id;
  QString status = QStringLiteral("In Site");
  QString duration = QStringLiteral("0:01:00");
  QString colour = QStringLiteral("#");
  QString name = QStringLiteral("Guest");
  QString ip = QStringLiteral("10.0.0.1");

  QString Line() const {
    return QStringList{id, ip, "3", status, duration, name, "Delete", "", "Invite", "BlockIP", "Pro-Pop",
                       "/index.html", colour}
        .join("<fld>");
  }
};

inline QString RefreshReplyText(const QList<TestVisitor>& visitors, const QString& total = QStringLiteral("1"),
                                const QString& sound = QString(), const QString& operators = QString()) {
  QStringList lines;
  for (const TestVisitor& v : visitors) lines.append(v.Line());
  const QString block0 = lines.isEmpty() ? QStringLiteral("No Users Online") : lines.join("<ln>");
  return QStringList{block0, total, "", sound, "", operators, ""}.join("<blk>");
}
