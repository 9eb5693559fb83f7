#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Builders of server replies, shared by the tests and the benchmarks.

// One visitor line of a refresh reply, with plain values unless a test
// chooses others.
struct TestVisitor {
  QString id;
  QString status = QStringLiteral("In Site");
  QString duration = QStringLiteral("0:01:00");
  QString colour = QStringLiteral("#");
  QString name = QStringLiteral("Guest");
  QString ip = QStringLiteral("10.0.0.1");

  QString Line() const;
};

// A refresh reply of seven blocks: the visitors (or "No Users Online"), the
// total, the sound name, the operators block and the notice.
QString RefreshReplyText(const QList<TestVisitor>& visitors, const QString& total = QStringLiteral("1"),
                         const QString& sound = QString(), const QString& operators = QString(),
                         const QString& notice = QString());

// A refresh-sized reply for the benchmarks: varied visitor lines of about
// 150 bytes each, a sound and one operator.
QString MakeRefreshReply(int nVisitors);
