// The visitor details panel and the foot-prints panel.
#include "GetFootDlg.h"
#include "LinkOpener.h"
#include "MyHyperLink.h"
#include "ElidedLabel.h"
#include "VisitorDtlsDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

using F = VisitorDetails::Field;

class TestVisitorPanels : public QObject {
  Q_OBJECT

  QList<QUrl> m_opened;

  static QStringList Rows(const CGetFootDlg& panel) {
    QStringList rows;
    for (int r = 0; r < panel.List()->rowCount(); ++r)
      rows.append(panel.List()->item(r, 0)->text() + u'|' + panel.List()->item(r, 1)->text());
    return rows;
  }

 private slots:
  void init() {
    m_opened.clear();
    CLinkOpener::SetOpener([this](const QUrl& u) { return m_opened.append(u), true; });
  }
  void cleanup() { CLinkOpener::SetOpener({}); }

  void detailsShowEveryFieldAsPlainTextAndLinksOnlyWhenSet() {
    QDialog chat;  // Escape in the panel must not close the window around it
    auto* panel = new CVisitorDtlsDlg(&chat);
    (new QVBoxLayout(&chat))->addWidget(panel);
    chat.show();
    VisitorDetails d;
    for (int f = 0; f < F::kFieldCount; ++f) d.fields[size_t(f)] = QString("v%1").arg(f);
    d.fields[F::VisitorName] = "<b>x</b>";
    d.fields[F::Referrer].clear();
    panel->ShowDetails(d);
    QCOMPARE(panel->Details(), d);
    for (int f = 0; f < F::kFieldCount; ++f) {
      QCOMPARE(panel->Value(f)->text(), d.fields[size_t(f)]);
      QCOMPARE(panel->Value(f)->textFormat(), Qt::PlainText);
    }
    QCOMPARE(panel->Label(F::TimeZone)->text(), QString("GMT +/- UserTime :"));
    QCOMPARE(panel->Value(F::City)->palette().color(QPalette::WindowText), QColor(0, 0, 210));
    QVERIFY(panel->UrlLink()->isVisible() && panel->EmailLink()->isVisible());
    QVERIFY(!panel->ReferrerLink()->isVisible());
    QCOMPARE(panel->EmailLink()->GetUrl(), QString("mailto:v13"));

    // The next visitor has no page and no e-mail: both links go.
    panel->ShowDetails(VisitorDetails());
    QVERIFY(!panel->UrlLink()->isVisible() && !panel->EmailLink()->isVisible());

    QTest::keyClick(panel->Value(F::City), Qt::Key_Escape);
    QVERIFY(chat.isVisible());
  }

  // A value wider than its place ends in "…"; the tooltip and a copy (Ctrl+C
  // or the menu's Copy) give it whole. The links take the focus by Tab.
  void longValuesAreElidedAndCopiedWhole_data() {
    QTest::addColumn<int>("field");
    QTest::newRow("page link") << int(F::Url);
    QTest::newRow("custom information") << int(F::CustomInformation);
  }
  void longValuesAreElidedAndCopiedWhole() {
    QFETCH(int, field);
    QWidget console;
    auto* panel = new CVisitorDtlsDlg(&console);
    panel->setGeometry(0, 0, 900, 200);
    console.show();
    VisitorDetails d;
    d.fields[size_t(field)] = "http://shop.example.com/" + QString(300, 'p');
    d.fields[F::Referrer] = "http://b.ex/";
    panel->ShowDetails(d);
    CElidedLabel* value = panel->Value(field);
    QTRY_VERIFY(value->ShownText().endsWith(QChar(0x2026)));
    QVERIFY(value->fontMetrics().horizontalAdvance(value->ShownText()) <= value->width());
    QVERIFY(!panel->ReferrerLink()->IsElided());
    QVERIFY(value->toolTip().contains(QString(300, 'p')));
    value->setFocus();
    QTest::keyClick(value, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), d.fields[size_t(field)]);
    QApplication::clipboard()->clear();
    std::unique_ptr<QMenu>(value->CreateMenu())->actions().value(0)->trigger();
    QCOMPARE(QApplication::clipboard()->text(), d.fields[size_t(field)]);
    QVERIFY(panel->UrlLink()->focusPolicy() & Qt::TabFocus);
  }

  void footPrintRows_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("pages") << "http://shop.example/a.html Time:0:01:20<fld>http://shop.example/b c Time:0:00:05"
                           << QStringList{"http://shop.example/a.html|0:01:20", "http://shop.example/b|0:00:05"};
    QTest::newRow("no space") << "nospace" << QStringList{"//|"};
    QTest::newRow("no colon after the space") << "http://x.example/p 12s" << QStringList{"http://x.example/p|"};
    QTest::newRow("colon only before the space") << "a:b nothing" << QStringList{"a:b|"};
    QTest::newRow("failure") << "DISCONNNNECT" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
  }
  void footPrintRows() {
    QFETCH(QString, reply);
    QFETCH(QStringList, rows);
    CGetFootDlg panel;
    panel.resize(800, 200);
    panel.show();
    // Another visitor's pages were showing: none of them may stay.
    panel.ShowFootPrints(0, "http://old.example/ Time:1:00:00", "<fld>", false, "10.0.0.1");
    panel.ShowFootPrints(1, reply, "<fld>", true, "10.0.0.2");
    QCOMPARE(Rows(panel), rows);
    QCOMPARE(panel.List()->horizontalHeaderItem(0)->text(), QString("Pages Visited 10.0.0.2"));
    QCOMPARE(panel.List()->horizontalHeaderItem(1)->text(), QString("Duration"));
    const int width = panel.List()->viewport()->width();
    QCOMPARE(panel.List()->columnWidth(0), int(width * 0.9));
    QCOMPARE(panel.List()->columnWidth(1), int(width * 0.1));

    panel.ShowFootPrints(-1, QString(), "<fld>", true, QString());
    QCOMPARE(panel.List()->columnCount(), 1);
    QCOMPARE(panel.List()->horizontalHeaderItem(0)->text(), QString("Pages Visited"));
    QCOMPARE(panel.List()->rowCount(), 0);
  }

  void onlyWebPagesOpenOnEnterOrDoubleClick() {
    CGetFootDlg panel;
    panel.show();
    panel.ShowFootPrints(0, "http://shop.example/a Time:0:00:01<fld>javascript:alert(1) Time:0:00:01<fld>x<fld>"
                            "ftp://files.example/f Time:0:00:02", "<fld>", false, "ip");
    panel.List()->setFocus();
    for (int row : {1, 2, 0}) {  // refused, "//", opened
      panel.List()->selectRow(row);
      QTest::keyClick(panel.List(), Qt::Key_Return);
    }
    const QRect last = panel.List()->visualRect(panel.List()->model()->index(3, 0));
    QTest::mouseClick(panel.List()->viewport(), Qt::LeftButton, {}, last.center());
    QTest::mouseDClick(panel.List()->viewport(), Qt::LeftButton, {}, last.center());
    QCOMPARE(m_opened, QList<QUrl>({QUrl("http://shop.example/a"), QUrl("ftp://files.example/f")}));
  }
};

QTEST_MAIN(TestVisitorPanels)
#include "tst_VisitorPanels.moc"
