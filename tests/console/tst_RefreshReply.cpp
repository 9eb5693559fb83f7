// The refresh reply's parts and the visitor table built from them.
#include "ReplyBuilders.h"
#include "Alerts.h"
#include "RefreshReply.h"
#include "SplitReply.h"
#include "VisitorTableLook.h"
#include "VisitorTableModel.h"

#include <QGuiApplication>
#include <QMetaType>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <iterator>

Q_DECLARE_METATYPE(QList<TestVisitor>)

class TestRefreshReply : public QObject {
  Q_OBJECT

 private slots:
  // The one-pass reader cuts lines and fields exactly where splitting at
  // "<ln>" and then at "<fld>" does, '<' in the text or not.
  // The service's sound words, exactly as it writes them.
  void soundWords() {
    const QList<QPair<QString, ServiceSound>> words = {
        {"sound1", ServiceSound::ChatRequest}, {"sound2", ServiceSound::ChatRequestBusy},
        {"sound3", ServiceSound::Message},     {"NewVisitor", ServiceSound::NewVisitor},
        {"chat_tran_snd", ServiceSound::ChatTransfer}, {"sound4", ServiceSound::NewChatLine},
        {"", ServiceSound::None},              {"Sound1", ServiceSound::None},
        {"sound1 ", ServiceSound::None},       {"newvisitor", ServiceSound::None}};
    for (const auto& [word, sound] : words) QCOMPARE(ServiceSoundNamed(word), sound);
  }

  void cutsLikeSplittingTwice_data() {
    QTest::addColumn<QString>("block");
    const QString line = TestVisitor{"a"}.Line();
    QTest::newRow("two lines") << line + "<ln>" + TestVisitor{"b"}.Line();
    QTest::newRow("angle brackets in fields") << QString(line).replace("/index.html", "/a<b>?x=<fl<ln<fld") + "<ln>" + line;
    QTest::newRow("bracket before separators") << QString(line).replace("<fld>", "<<fld>") + "<ln><" + line;
    QTest::newRow("empty lines") << "<ln>" + line + "<ln><ln>" + line + "<ln>";
    QTest::newRow("separator halves") << QString(line).replace("<fld>", "<fld") + "<ln" + line;
    QTest::newRow("fourteen fields") << line + "<fld>" + "<ln>" + line;
    QTest::newRow("brackets before the block's end") << line + "<ln<";
  }
  void cutsLikeSplittingTwice() {
    QFETCH(QString, block);
    QList<VisitorLine> expected;
    for (const QString& text : SplitReply(block, "<ln>")) {
      VisitorLine v;
      if (VisitorLine::FromFields(SplitReply(text, "<fld>"), v)) expected.append(v);
    }
    const RefreshReply r = RefreshReply::Parse(block + "<blk>3<blk><blk><blk><blk><blk>");
    QCOMPARE(r.rows.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) QCOMPARE(r.rows[i].m_line, expected[i]);
  }

  // Parsed beside the rows of the reply before, a reply gives the rows it
  // gives alone, whoever came, left or changed; the visitors found again
  // share the texts they kept.
  void readsTheSameBesideTheRowsBefore_data() {
    QTest::addColumn<QList<TestVisitor>>("before");
    QTest::addColumn<QList<TestVisitor>>("after");
    QTest::addColumn<bool>("allFound");
    TestVisitor later{"b"};
    later.duration = "0:01:05";
    TestVisitor moved{"a"};
    moved.name = "Ann";
    moved.ip = "10.0.0.9";
    moved.status = "Chatting with: anna";
    QList<TestVisitor> ten, reversed;
    for (char c = 'a'; c <= 'j'; ++c) ten.append({QString(c)});
    std::copy(ten.rbegin(), ten.rend(), std::back_inserter(reversed));
    QTest::newRow("time passes") << QList<TestVisitor>{{"a"}, {"b"}, {"c"}} << QList<TestVisitor>{{"a"}, later, {"c"}} << true;
    QTest::newRow("one came first") << QList<TestVisitor>{{"a"}, {"b"}} << QList<TestVisitor>{{"z"}, {"a"}, {"b"}} << true;
    QTest::newRow("two left") << QList<TestVisitor>{{"a"}, {"b"}, {"c"}, {"d"}} << QList<TestVisitor>{{"a"}, {"d"}} << true;
    QTest::newRow("fields changed") << QList<TestVisitor>{{"a"}} << QList<TestVisitor>{moved} << true;
    QTest::newRow("ids that are prefixes") << QList<TestVisitor>{{"a1"}, {"a"}} << QList<TestVisitor>{{"a"}, {"a1"}} << false;
    QTest::newRow("order reversed") << ten << reversed << false;
    QTest::newRow("nothing before") << QList<TestVisitor>{} << QList<TestVisitor>{{"a"}} << false;
  }
  void readsTheSameBesideTheRowsBefore() {
    QFETCH(QList<TestVisitor>, before);
    QFETCH(QList<TestVisitor>, after);
    QFETCH(bool, allFound);
    const QList<CSiteVisitor> previous = RefreshReply::Parse(RefreshReplyText(before)).rows;
    const QList<CSiteVisitor> alone = RefreshReply::Parse(RefreshReplyText(after)).rows;
    const QList<CSiteVisitor> beside = RefreshReply::Parse(RefreshReplyText(after), previous).rows;
    QCOMPARE(beside.size(), alone.size());
    for (qsizetype i = 0; i < alone.size(); ++i) {
      QCOMPARE(beside[i].m_line, alone[i].m_line);
      QCOMPARE(beside[i].m_bHasColour, alone[i].m_bHasColour);
      if (!allFound) continue;
      for (const CSiteVisitor& was : previous)
        if (was.m_line.sessionId == alone[i].m_line.sessionId)
          QCOMPARE(beside[i].m_line.sessionId.constData(), was.m_line.sessionId.constData());
    }
  }

  // The quick reading of a duration agrees with the thorough one.
  void newVisitorDurations() {
    auto thorough = [](QString d) {
      bool ok = false;
      const long v = d.remove(u':').toLong(&ok);
      return ok && v >= 0 && v < 9;
    };
    for (const char* d : {"0:00:05", "0:00:09", "0:00:08", "00:00:00", "1:00:00", ":", "", "5", " 5", "+3", "-1",
                             "0:00:0x", "1:2:3:4", "99999999999999999999", "0:0٣"})
      QVERIFY2(VisitorLine::IsNewOnSite(d) == thorough(d), qPrintable(d));
  }

  void parsesTheBlocks() {
    const RefreshReply r = RefreshReply::Parse(
        RefreshReplyText({{"a", "Chat Request"}, {"b"}}, "42", "sound1",
                         "anna<subfld><subfld>Initiate<subfld>Online<fld>ben<subfld>c7<subfld>op_chat<subfld>Online"));
    QVERIFY(r.wellFormed);
    QCOMPARE(r.rows.size(), 2);
    QCOMPARE(r.rows[0].m_line.sessionId, QString("a"));
    QCOMPARE(r.rows[0].m_line.ip, QString("10.0.0.1"));
    QCOMPARE(r.rows[0].m_line.page, QString("/index.html"));
    QCOMPARE(r.rows[1].m_line.actInvite, QString("Invite"));
    QCOMPARE(r.total, 42);
    QCOMPARE(r.sound, ServiceSound::ChatRequest);
    QCOMPARE(r.operators.size(), 2);
    QCOMPARE(r.operators[1].chatId, QString("c7"));
    QVERIFY(r.anyChatRequest);
    QVERIFY(r.anyOperatorRequest);
  }

  // Each field lands in its own member by the reply's numbering. The
  // service writes its lines through the same map as the console reads
  // them, so a swap there would pass every test that goes through both.
  void fieldsLandInTheirMembers() {
    QStringList fields;
    for (int i = 0; i < VisitorLine::kFieldCount; ++i) fields.append(QString("f%1").arg(i));
    const RefreshReply r = RefreshReply::Parse(fields.join("<fld>") + "<blk>1<blk><blk><blk><blk><blk>");
    QCOMPARE(r.rows.size(), 1);
    const VisitorLine& v = r.rows[0].m_line;
    const QStringList members{v.sessionId, v.ip,      v.visits,   v.status,    v.duration, v.name, v.actDelete,
                              v.actBusy,   v.actInvite, v.actBlockIp, v.actProPop, v.page,     v.colour};
    QCOMPARE(members, fields);
    QCOMPARE(v.Fields(), fields);
  }

  // Only an entry that asks with its chat id is a request waiting for the
  // operator: one without an id cannot be accepted.
  void operatorRequests_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("request");
    QTest::newRow("asks") << "ben<subfld>c7<subfld>op_chat<subfld>Online" << true;
    QTest::newRow("asks without a chat id") << "ben<subfld><subfld>op_chat<subfld>Online" << false;
    QTest::newRow("taken") << "ben<subfld>c7<subfld>op_chat_picked<subfld>Online" << false;
    QTest::newRow("asked by us") << "ben<subfld>c7<subfld>chat_initiated<subfld>Online" << false;
  }
  void operatorRequests() {
    QFETCH(QString, entry);
    QFETCH(bool, request);
    const RefreshReply r = RefreshReply::Parse(RefreshReplyText({}, "0", QString(), entry));
    QCOMPARE(r.operators.size(), 1);
    QCOMPARE(r.anyOperatorRequest, request);
    QCOMPARE(r.operators[0].AsksForChat(), request);
  }

  void wrongShapesAreLeftOut() {
    // Six or eight blocks: nothing of it is used.
    QVERIFY(!RefreshReply::Parse("a<blk>b<blk>c<blk>d<blk>e<blk>f").wellFormed);
    QVERIFY(!RefreshReply::Parse(RefreshReplyText({{"a"}}) + "<blk>").wellFormed);
    QVERIFY(!RefreshReply::Parse("DISCONNNNECT").wellFormed);
    // Lines of 12 or 14 fields and entries of 3 sub-fields are skipped.
    const QString twelve = QStringList(12, "x").join("<fld>");
    const QString fourteen = QStringList(14, "x").join("<fld>");
    const RefreshReply r = RefreshReply::Parse(twelve + "<ln>" + TestVisitor{"ok"}.Line() + "<ln>" + fourteen +
                                               "<blk>no number<blk><blk><blk><blk>a<subfld>b<subfld>c<blk>");
    QVERIFY(r.wellFormed);
    QCOMPARE(r.rows.size(), 1);
    QCOMPARE(r.rows[0].m_line.sessionId, QString("ok"));
    QCOMPARE(r.total, 0);
    QVERIFY(r.operators.isEmpty());
    QVERIFY(RefreshReply::Parse(RefreshReplyText({})).noUsersOnline);
  }

  void rowLooks_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<int>("image");
    QTest::addColumn<QColor>("background");
    QTest::newRow("green") << "In Site" << "#00FF00" << 1 << QColor(0, 255, 0);
    QTest::newRow("lower-case hex") << "In Site" << "#ccE8ff" << 1 << QColor(0xCC, 0xE8, 0xFF);
    QTest::newRow("hash alone") << "In Site" << "#" << 1 << QColor(Qt::white);
    QTest::newRow("no colour") << "In Site" << "" << 2 << QColor(Qt::white);
    QTest::newRow("too short") << "In Site" << "#12" << 1 << QColor(Qt::white);
    QTest::newRow("not hex") << "In Site" << "#GGGGGG" << 1 << QColor(Qt::white);
    QTest::newRow("without hash") << "In Site" << "00FF00" << 1 << QColor(Qt::white);
    QTest::newRow("chat request") << "Chat Request" << "#FF0000" << 0 << QColor(255, 0, 0);
  }
  void rowLooks() {
    QFETCH(QString, status);
    QFETCH(QString, colour);
    QFETCH(int, image);
    QFETCH(QColor, background);
    CVisitorTableModel model;
    CVisitorTableLook look(model);
    TestVisitor t{"s", status};
    t.colour = colour;
    model.SetVisitors({RefreshReply::Parse(RefreshReplyText({t})).rows.first()});
    QCOMPARE(CVisitorTableModel::RowImage(model.Visitors().first()), image);
    QCOMPARE(look.data(look.index(0, CVisitorTableModel::ColVisitor), Qt::BackgroundRole).value<QColor>(), background);
    QCOMPARE(look.data(look.index(0, CVisitorTableModel::ColName), Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
    const QColor statusColour = look.data(look.index(0, CVisitorTableModel::ColStatus), Qt::ForegroundRole).value<QColor>();
    QCOMPARE(statusColour, status == "Chat Request" ? QColor(210, 0, 0) : QColor(Qt::black));
    QVERIFY(!look.data(look.index(0, 0), Qt::DecorationRole).value<QPixmap>().isNull());
  }

  void cellsAndHeaders() {
    CVisitorTableModel model;
    TestVisitor t{"s"};
    t.name = "Zoe";
    model.SetVisitors({RefreshReply::Parse(RefreshReplyText({t})).rows.first()});
    QCOMPARE(model.columnCount(), 5);
    const QStringList expected{"10.0.0.1 - (3)", "In Site", "0:01:00", "Zoe", "/index.html"};
    const QStringList headers{"Visitor  (P.Visits)", "Status", "Duration", "Name", "Page"};
    for (int c = 0; c < 5; ++c) {
      QCOMPARE(model.data(model.index(0, c), Qt::DisplayRole).toString(), expected[c]);
      QCOMPARE(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
    }
  }

  void refreshUpdatesInPlace() {
    CVisitorTableModel model;
    auto rows = [](QList<TestVisitor> visitors) {
      return RefreshReply::Parse(RefreshReplyText(visitors)).rows;
    };
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.SetVisitors(rows({{"a"}, {"b"}, {"c"}}));
    QCOMPARE(inserted.size(), 1);
    TestVisitor b{"b"};
    b.duration = "0:01:05";
    model.SetVisitors(rows({{"a"}, b, {"c"}}));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.last().at(0).value<QModelIndex>().row(), 1);  // only the row that changed
    QCOMPARE(changed.last().at(1).value<QModelIndex>().row(), 1);
    model.SetVisitors(rows({{"a"}, b, {"c"}}));
    QCOMPARE(changed.size(), 1);  // nothing changed, nothing signalled
    model.SetVisitors(rows({{"a"}}));
    QCOMPARE(removed.size(), 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(reset.size(), 0);
  }
};

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  TestRefreshReply test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_RefreshReply.moc"
