// Every window lays out without cutting its texts from a small to a large
// font: each is opened at 8, 11, 13 and 16 points and every visible label,
// button, check box and radio button must have room for its text, and the
// short lists meant to be seen whole must show all their rows.
#include "EveryWindow.h"
#include "SessionFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

namespace {

QString Shown(QString text) { return text.remove(u'&'); }

// The widest line of a (possibly several-line) text.
int TextWidth(const QFontMetrics& fm, const QString& text) {
  int width = 0;
  for (const QString& line : text.split(u'\n')) width = std::max(width, fm.horizontalAdvance(line));
  return width;
}

}  // namespace

class TestFontSizes : public QObject {
  Q_OBJECT

  QStringList m_clipped;

  void Note(const QString& where, const QWidget* w, const QString& text, const QSize& need, const QSize& room) {
    if (need.width() > room.width() || need.height() > room.height())
      m_clipped.append(QStringLiteral("%1/%2 \"%3\": needs %4x%5, has %6x%7")
                           .arg(where, QLatin1String(w->metaObject()->className()), text)
                           .arg(need.width())
                           .arg(need.height())
                           .arg(room.width())
                           .arg(room.height()));
  }

  // The room a button's text has: what the style leaves beside the
  // indicator of a check box or radio button, inside the frame of a push
  // button.
  static QRect TextRoom(QAbstractButton* b) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    if (qobject_cast<QCheckBox*>(b)) return b->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, b);
    if (qobject_cast<QRadioButton*>(b)) return b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b);
    return b->rect().adjusted(3, 2, -3, -2);  // a push frame of the light look, owner-drawn or not
  }

  void Walk(QWidget* window, const QString& name) {
    for (QLabel* l : window->findChildren<QLabel*>()) {
      if (!l->isVisibleTo(window) || l->text().trimmed().isEmpty() || l->textFormat() == Qt::RichText) continue;
      if (l->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored) continue;  // elided on purpose, whole in its tooltip
      const QFontMetrics fm = l->fontMetrics();
      const QRect room = l->contentsRect();
      const QString text = l->buddy() ? Shown(l->text()) : l->text();
      const QSize need = l->wordWrap() ? QSize(0, l->heightForWidth(room.width()))
                                       : QSize(TextWidth(fm, text), fm.height() * int(text.count(u'\n') + 1));
      Note(name, l, text, need, room.size());
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
      if (!b->isVisibleTo(window) || b->text().isEmpty()) continue;
      const QFontMetrics fm = b->fontMetrics();
      Note(name, b, b->text(), QSize(fm.horizontalAdvance(Shown(b->text())), fm.height()), TextRoom(b).size());
    }
    for (QListWidget* list : window->findChildren<QListWidget*>()) {
      if (!list->isVisibleTo(window) || list->count() == 0 || list->count() > 10) continue;
      // A short list is meant to be seen whole.
      const QRect last = list->visualItemRect(list->item(list->count() - 1));
      Note(name, list, QStringLiteral("%1 rows").arg(list->count()), QSize(0, last.bottom() + 1),
           list->viewport()->size());
    }
  }

 private slots:
  void everyWindowAtEveryFontSize_data() {
    QTest::addColumn<int>("points");
    for (int points : {8, 11, 13, 16}) QTest::addRow("%d pt", points) << points;
  }

  void everyWindowAtEveryFontSize() {
    QFETCH(int, points);
    const QFont before = QApplication::font();
    QFont font = before;
    font.setPointSize(points);
    QApplication::setFont(font);
    {
      CSessionFixture session;
      session.UseScriptedServer();
      session.LogIn();
      CEveryWindow windows(session);
      windows.ForEach([this](QWidget* w, const QString& name) { Walk(w, name); });
    }
    QApplication::setFont(before);
    for (const QString& c : m_clipped) qWarning("cut: %s", qPrintable(c));  // a failure's message is cut short
    QVERIFY2(m_clipped.isEmpty(), qPrintable(QString::number(m_clipped.size()) + QStringLiteral(" texts cut")));
  }

  void cleanup() { m_clipped.clear(); }
};

QTEST_MAIN(TestFontSizes)
#include "tst_FontSizes.moc"
