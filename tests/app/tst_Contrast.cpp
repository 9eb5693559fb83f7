// Every text the windows draw reads on a light, a dark and a high-contrast
// palette: each window is rendered and, for every label, button and link,
// the text's own pixels (those that change when its text is taken away)
// are measured against what lay beneath them; table cells and transcript
// lines are measured by the colours they are drawn with. Anything under
// 4.5:1 (WCAG AA for text) fails, named by window, control and ratio. The
// palettes change while the windows are open, as a desktop's theme does.
// The light look keeps its own colours, one of which (the operators'
// "Online" green on white) is under the minimum; that one is let pass there.
#include "ChatDlg.h"
#include "ChatRichEd.h"
#include "EveryWindow.h"
#include "Emoticons.h"
#include "FooButton.h"
#include "OperChatDlg.h"
#include "ResourceArt.h"
#include "SessionFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextFragment>

#include <cmath>

namespace {

double Luminance(QRgb rgb) {
  const auto linear = [](int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette() {  // a common dark desktop theme
  QPalette p;
  const QColor text(252, 252, 252);
  for (auto [role, colour] : {std::pair{QPalette::Window, QColor(42, 46, 50)}, {QPalette::WindowText, text},
                              {QPalette::Base, QColor(27, 30, 32)}, {QPalette::AlternateBase, QColor(35, 38, 41)},
                              {QPalette::Text, text}, {QPalette::Button, QColor(49, 54, 59)},
                              {QPalette::ButtonText, text}, {QPalette::Light, QColor(64, 70, 76)},
                              {QPalette::Midlight, QColor(56, 62, 68)}, {QPalette::Mid, QColor(38, 42, 46)},
                              {QPalette::Dark, QColor(25, 27, 30)}, {QPalette::Shadow, QColor(0, 0, 0)},
                              {QPalette::Highlight, QColor(61, 174, 233)}, {QPalette::HighlightedText, text},
                              {QPalette::Link, QColor(29, 153, 243)}, {QPalette::LinkVisited, QColor(155, 89, 182)},
                              {QPalette::ToolTipBase, QColor(49, 54, 59)}, {QPalette::ToolTipText, text}})
    p.setColor(role, colour);
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(110, 113, 115));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(110, 113, 115));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(110, 113, 115));
  return p;
}

QPalette HighContrastPalette() {  // black, white text, yellow links, cyan selection
  QPalette p;
  for (auto [role, colour] : {std::pair{QPalette::Window, QColor(Qt::black)}, {QPalette::WindowText, QColor(Qt::white)},
                              {QPalette::Base, QColor(Qt::black)}, {QPalette::AlternateBase, QColor(Qt::black)},
                              {QPalette::Text, QColor(Qt::white)}, {QPalette::Button, QColor(Qt::black)},
                              {QPalette::ButtonText, QColor(Qt::white)}, {QPalette::Light, QColor(Qt::white)},
                              {QPalette::Midlight, QColor(Qt::gray)}, {QPalette::Mid, QColor(Qt::gray)},
                              {QPalette::Dark, QColor(Qt::white)}, {QPalette::Shadow, QColor(Qt::white)},
                              {QPalette::Highlight, QColor(26, 235, 255)}, {QPalette::HighlightedText, QColor(Qt::black)},
                              {QPalette::Link, QColor(255, 255, 0)}, {QPalette::LinkVisited, QColor(255, 255, 0)}})
    p.setColor(role, colour);
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(63, 242, 0));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(63, 242, 0));
  return p;
}

QString Describe(const QWidget* w, const QString& text) {
  return QLatin1String(w->metaObject()->className()) + QStringLiteral(" \"") + text + u'"';
}

}  // namespace

class TestContrast : public QObject {
  Q_OBJECT

  QStringList m_failures;

  // Colours of the light look that stay as they are, however they read.
  static bool KeptOnLight(const QString& palette, const QColor& text) {
    return palette == QLatin1String("light") && text == QColor(10, 192, 10);
  }

  void Check(const QString& where, double ratio, double minimum = 4.5) {
    // CONTRAST_LIST=1 prints every measure, for comparing palettes or builds.
    if (qEnvironmentVariableIsSet("CONTRAST_LIST")) qInfo("%s %.2f", qPrintable(where), ratio);
    if (ratio < minimum) m_failures.append(QStringLiteral("%1: %2:1").arg(where).arg(ratio, 0, 'f', 2));
  }

  // A picture with writing on it (scaled with its window, as the login
  // window's captions are): below its top quarter, where the band with the
  // title ends, its ground is on the palette's side (dark on a dark
  // palette) and its writing reads against that ground.
  void MeasurePicture(QLabel* picture, const QString& where, const QPalette& palette) {
    // The picture alone (the fields over it are its siblings, not in it).
    const QImage whole = picture->grab().toImage();
    const QImage shot = whole.copy(0, whole.height() / 4, whole.width(), whole.height() - whole.height() / 4);
    QHash<QRgb, int> counts;
    double lightness = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        ++counts[shot.pixel(x, y) & 0xffffff];
        lightness += QColor(shot.pixel(x, y)).lightnessF();
      }
    QRgb ground = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
      if (it.value() > counts.value(ground)) ground = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
      if (it.value() >= 2) best = std::max(best, Contrast(it.key(), ground));
    Check(where + QStringLiteral(" writing"), best);
    const bool darkGround = lightness / (shot.width() * shot.height()) < 0.5;
    if (darkGround != (palette.color(QPalette::Window).lightnessF() < 0.5))
      m_failures.append(where + QStringLiteral(": its ground %1 is not of the palette's window colour")
                                    .arg(QColor(ground).name()));
  }

  // The text's pixels are those that change when its text is taken away;
  // the ratio is the best of the colour pairs found at least twice (the
  // glyphs' cores; their smoothed edges read less).
  template <typename W>
  double MeasureText(QWidget* window, W* w) {
    const QRect place = QRect(w->mapTo(window, QPoint()), w->size()) & window->rect();
    if (place.isEmpty()) return 21;
    const QString text = w->text();
    const QImage with = window->grab(place).toImage();
    w->setText(QString());
    const QImage without = window->grab(place).toImage();
    w->setText(text);
    QHash<QPair<QRgb, QRgb>, int> pairs;
    for (int y = 0; y < with.height(); ++y)
      for (int x = 0; x < with.width(); ++x) {
        const QRgb a = with.pixel(x, y) & 0xffffff, b = without.pixel(x, y) & 0xffffff;
        if (a != b) ++pairs[{a, b}];
      }
    if (pairs.isEmpty()) return 21;  // nothing of it drawn: clipping is another test's concern
    double best = 1;
    for (auto it = pairs.cbegin(); it != pairs.cend(); ++it)
      if (it.value() >= 2) best = std::max(best, Contrast(it.key().first, it.key().second));
    return best;
  }

  void MeasureWindow(QWidget* window, const QString& name, const QString& palette) {
    const QString prefix = palette + u'/' + name + u'/';
    for (QLabel* l : window->findChildren<QLabel*>())
      if (l->isVisibleTo(window) && l->isEnabled() && !l->text().trimmed().isEmpty())
        Check(prefix + Describe(l, l->text()), MeasureText(window, l));
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
      if (b->isVisibleTo(window) && !b->text().trimmed().isEmpty()) {
        // A disabled button's text is meant to read fainter, at 3:1.
        if (b->isEnabled())
          Check(prefix + Describe(b, b->text()), MeasureText(window, b));
        else if (qobject_cast<FooButton*>(b) && palette != QLatin1String("light"))
          Check(prefix + QStringLiteral("disabled ") + Describe(b, b->text()), MeasureText(window, b), 3.0);
      }
    for (QLabel* l : window->findChildren<QLabel*>())
      if (l->isVisibleTo(window) && l->hasScaledContents() && !l->pixmap().isNull())
        MeasurePicture(l, prefix + QStringLiteral("picture"), QApplication::palette(l));
    for (QTableView* table : window->findChildren<QTableView*>()) {
      if (!table->isVisibleTo(window) || !table->model()) continue;
      const QAbstractItemModel* m = table->model();
      for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c) {
          const QModelIndex i = m->index(r, c);
          const QVariant fg = i.data(Qt::ForegroundRole), bg = i.data(Qt::BackgroundRole);
          const QRgb text = fg.isValid() ? fg.value<QColor>().rgb() : table->palette().color(QPalette::Text).rgb();
          const QRgb back = bg.isValid() ? bg.value<QColor>().rgb() : table->palette().color(QPalette::Base).rgb();
          if (!KeptOnLight(palette, QColor(text)))
            Check(prefix + QStringLiteral("cell %1,%2 \"%3\"").arg(r).arg(c).arg(i.data().toString()),
                  Contrast(text, back));
        }
    }
    for (CChatRichEd* transcript : window->findChildren<CChatRichEd*>()) {
      const QRgb back = transcript->palette().color(QPalette::Base).rgb();
      for (QTextBlock b = transcript->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
          const QTextCharFormat f = it.fragment().charFormat();
          if (!f.hasProperty(QTextFormat::ForegroundBrush)) continue;
          Check(prefix + QStringLiteral("transcript \"%1\"").arg(it.fragment().text()),
                Contrast(f.foreground().color().rgb(), back));
        }
    }
  }

 private slots:
  // The transcript's pictures sit on whatever colour the transcript has: a
  // ground of their own made light squares on a dark one.
  void transcriptEmoticonsHaveNoGround() {
    for (const EmoticonCode& e : kEmoticons)
      for (qreal ratio : {1.0, 2.0}) {
        const QImage face = ResourceArt::Image(ResourceArt::BitmapPath(e.transcriptBitmap), ratio);
        QVERIFY(!face.isNull());
        for (const QPoint corner : {QPoint(0, 0), QPoint(face.width() - 1, face.height() - 1)})
          QVERIFY2(qAlpha(face.pixel(corner)) == 0, qPrintable(QStringLiteral("emoticon %1 at %2x").arg(e.transcriptBitmap).arg(ratio)));
      }
  }

  void everyTextReadsOnEveryPalette() {
    const QPalette light = QApplication::palette();
    CSessionFixture session;
    session.UseScriptedServer();
    session.LogIn();
    CEveryWindow windows(session);
    const std::pair<const char*, QPalette> palettes[] = {
        {"light", light}, {"dark", DarkPalette()}, {"high contrast", HighContrastPalette()}};
    for (const auto& [name, palette] : palettes) {
      QApplication::setPalette(palette);
      QCoreApplication::processEvents();
      windows.ForEach([&](QWidget* w, const QString& window) { MeasureWindow(w, window, QLatin1String(name)); });
    }
    QApplication::setPalette(light);
    for (const QString& f : m_failures) qWarning("%s", qPrintable(f));  // a failure's message is cut short
    QVERIFY2(m_failures.isEmpty(), qPrintable(QString::number(m_failures.size()) + QStringLiteral(" texts:\n") +
                                               m_failures.join(u'\n')));
  }
};

QTEST_MAIN(TestContrast)
#include "tst_Contrast.moc"
