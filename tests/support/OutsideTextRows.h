#pragma once

#include <QString>
#include <QTest>

// The rows of a data-driven test of outside text on a surface: "sent" as
// a visitor or the service wrote it, "shown" as the surface must read.
inline void AddOutsideTextRows() {
  QTest::addColumn<QString>("sent");
  QTest::addColumn<QString>("shown");
  QTest::newRow("override") << QStringLiteral("photo\u202Egpj.exe") << QString("photogpj.exe");
  QTest::newRow("embedding and isolate") << QStringLiteral("a\u202Bb\u2067c\u2069\u202Cd") << QString("abcd");
  QTest::newRow("markup") << QString("<b>Zoe</b><a href=\"http://x\">x</a><img src=\"file:///tmp/p.png\">")
                          << QString("<b>Zoe</b><a href=\"http://x\">x</a><img src=\"file:///tmp/p.png\">");
}
