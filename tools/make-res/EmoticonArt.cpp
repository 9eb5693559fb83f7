// The sixteen emoticon faces, and the icons of the chat window's Emoticons
// and File Transfer buttons. The faces have a picker version on the picker's key grey
// (192,192,192, drawn as transparent) and a transcript version on a
// transparent ground, which sits on whatever colour the transcript has (a
// white ground made light squares on a dark one), each at 1x (20 x 18) and 2x.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

enum class Mouth { Smile, Grin, Frown, Flat, Wavy, Open, Tongue, Laugh };
enum class Eyes { Dots, Wink, Shades, Closed, Tears, Angry, Up };

struct Face {
  int pickerId;
  int transcriptId;
  Eyes eyes;
  Mouth mouth;
  QColor skin = QColor(255, 214, 40);
  bool blush = false;
  bool hands = false;     // applause
  bool question = false;  // thinking
  bool clock = false;     // waiting
};

void DrawMouth(QPainter& p, Mouth mouth) {
  p.setBrush(Qt::NoBrush);
  switch (mouth) {
    case Mouth::Smile: p.drawArc(QRectF(5, 6, 8, 7), 200 * 16, 140 * 16); break;
    case Mouth::Frown: p.drawArc(QRectF(5, 11, 8, 6), 20 * 16, 140 * 16); break;
    case Mouth::Flat: p.drawLine(QPointF(6, 12.5), QPointF(12, 11.5)); break;
    case Mouth::Wavy: {
      QPainterPath w;
      w.moveTo(5.5, 12.5);
      w.cubicTo(7.5, 10.5, 9, 14, 10.5, 12);
      w.cubicTo(11.5, 11, 12, 12, 12.5, 12.5);
      p.drawPath(w);
      break;
    }
    case Mouth::Open:
      p.setBrush(QColor(120, 30, 20));
      p.drawEllipse(QRectF(7.5, 10.5, 3, 3.5));
      break;
    case Mouth::Grin:
    case Mouth::Laugh: {
      QPainterPath g;
      g.moveTo(4.5, 10);
      g.cubicTo(6, 15.5, 12, 15.5, 13.5, 10);
      g.closeSubpath();
      p.setBrush(mouth == Mouth::Laugh ? QColor(120, 30, 20) : Qt::white);
      p.drawPath(g);
      break;
    }
    case Mouth::Tongue:
      p.drawArc(QRectF(5, 7, 8, 6), 200 * 16, 140 * 16);
      p.setBrush(QColor(235, 80, 90));
      p.drawEllipse(QRectF(8.5, 11.5, 3.5, 3.5));
      break;
  }
}

void DrawEyes(QPainter& p, Eyes eyes) {
  const QColor ink(40, 30, 10);
  p.setBrush(ink);
  switch (eyes) {
    case Eyes::Dots:
    case Eyes::Tears:
      p.drawEllipse(QPointF(6.5, 6.5), 1, 1.4);
      p.drawEllipse(QPointF(11.5, 6.5), 1, 1.4);
      if (eyes == Eyes::Tears) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 150, 240));
        p.drawEllipse(QRectF(4.5, 8, 2, 3.5));
        p.drawEllipse(QRectF(11.5, 8, 2, 3.5));
      }
      break;
    case Eyes::Wink:
      p.drawEllipse(QPointF(6.5, 6.5), 1, 1.4);
      p.setBrush(Qt::NoBrush);
      p.drawLine(QPointF(10, 6.8), QPointF(13, 6.8));
      break;
    case Eyes::Closed:
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(4.5, 5, 4, 3), 0, 180 * 16);
      p.drawArc(QRectF(9.5, 5, 4, 3), 0, 180 * 16);
      break;
    case Eyes::Shades:
      p.drawRoundedRect(QRectF(3.5, 5, 5, 3), 1, 1);
      p.drawRoundedRect(QRectF(9.5, 5, 5, 3), 1, 1);
      p.drawLine(QPointF(8.5, 5.7), QPointF(9.5, 5.7));
      break;
    case Eyes::Angry:
      p.drawEllipse(QPointF(6.5, 7.2), 1, 1.2);
      p.drawEllipse(QPointF(11.5, 7.2), 1, 1.2);
      p.drawLine(QPointF(4.5, 4.5), QPointF(8, 6));
      p.drawLine(QPointF(13.5, 4.5), QPointF(10, 6));
      break;
    case Eyes::Up:
      p.drawEllipse(QPointF(7, 5.5), 1, 1.3);
      p.drawEllipse(QPointF(12, 5.5), 1, 1.3);
      break;
  }
}

QImage DrawFace(const Face& f, int scale, const QColor& background) {
  QImage img(20 * scale, 18 * scale,
             background.alpha() < 255 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  img.fill(background);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  const QColor ink(40, 30, 10);
  p.setPen(QPen(f.skin.darker(170), 1));
  QRadialGradient shine(QPointF(7, 5), 10);
  shine.setColorAt(0, f.skin.lighter(130));
  shine.setColorAt(1, f.skin);
  p.setBrush(shine);
  p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
  if (f.blush) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 120, 120, 170));
    p.drawEllipse(QRectF(2.5, 9, 3.5, 2.5));
    p.drawEllipse(QRectF(12, 9, 3.5, 2.5));
  }
  p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap));
  DrawEyes(p, f.eyes);
  p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap));
  DrawMouth(p, f.mouth);
  if (f.hands) {
    p.setPen(QPen(QColor(150, 100, 0), 0.8));
    p.setBrush(QColor(255, 196, 30));
    p.drawEllipse(QRectF(13.5, 10, 5.5, 6.5));
  }
  if (f.question || f.clock) {
    p.setPen(QPen(QColor(30, 70, 170), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    if (f.question) {
      p.drawArc(QRectF(15.5, 0.5, 4, 4), -90 * 16, 270 * 16);
      p.drawLine(QPointF(17.5, 4.5), QPointF(17.5, 6));
      p.drawPoint(QPointF(17.5, 8));
    } else {
      p.setBrush(Qt::white);
      p.drawEllipse(QRectF(13, 0.8, 6.2, 6.2));
      p.drawLine(QPointF(16.1, 3.9), QPointF(16.1, 2.2));
      p.drawLine(QPointF(16.1, 3.9), QPointF(17.6, 3.9));
    }
  }
  return img;
}

// Icon 303 (the Emoticons button): a smiling face on transparency.
QImage EmoticonsIcon(int scale) {
  QImage img(16 * scale, 16 * scale, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale * 16.0 / 18.0, scale * 16.0 / 18.0);
  const QColor ink(40, 30, 10);
  p.setPen(QPen(QColor(150, 110, 0), 1));
  p.setBrush(QColor(255, 214, 40));
  p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
  p.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::RoundCap));
  DrawEyes(p, Eyes::Dots);
  DrawMouth(p, Mouth::Smile);
  return img;
}

// Icon 304 (the File Transfer button): a page with an arrow going up.
QImage FileTransferIcon(int scale) {
  QImage img(17 * scale, 17 * scale, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  QPainterPath page;
  page.moveTo(2.5, 0.5);
  page.lineTo(10.5, 0.5);
  page.lineTo(14.5, 4.5);
  page.lineTo(14.5, 16.5);
  page.lineTo(2.5, 16.5);
  page.closeSubpath();
  p.setPen(QPen(QColor(90, 100, 120), 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(QPointF(10.5, 0.5), QPointF(10.5, 4.5));
  p.drawLine(QPointF(10.5, 4.5), QPointF(14.5, 4.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 140, 60));
  p.drawPolygon(QPolygonF({QPointF(8.5, 5), QPointF(12.5, 9.5), QPointF(10, 9.5), QPointF(10, 14),
                           QPointF(7, 14), QPointF(7, 9.5), QPointF(4.5, 9.5)}));
  return img;
}

}  // namespace

void WriteEmoticons(const QDir& res) {
  res.mkpath("icons");
  EmoticonsIcon(1).save(res.filePath("icons/303.png"));
  EmoticonsIcon(2).save(res.filePath("icons/303@2x.png"));
  FileTransferIcon(1).save(res.filePath("icons/304.png"));
  FileTransferIcon(2).save(res.filePath("icons/304@2x.png"));
  const Face faces[] = {
      {275, 250, Eyes::Dots, Mouth::Smile},                                   // [:)]
      {252, 277, Eyes::Dots, Mouth::Grin},                                    // [:D]
      {251, 272, Eyes::Dots, Mouth::Frown},                                   // [:(]
      {253, 278, Eyes::Wink, Mouth::Smile},                                   // [;)]
      {255, 279, Eyes::Closed, Mouth::Smile, QColor(255, 214, 40), true},     // [:blush]
      {254, 280, Eyes::Dots, Mouth::Wavy},                                    // [:-/]
      {259, 281, Eyes::Shades, Mouth::Smile},                                 // [B-)]
      {260, 282, Eyes::Tears, Mouth::Frown},                                  // [:((]
      {261, 283, Eyes::Closed, Mouth::Laugh},                                 // [:))]
      {264, 284, Eyes::Closed, Mouth::Grin, QColor(255, 214, 40), false, true},  // [=D>]
      {262, 285, Eyes::Wink, Mouth::Tongue, QColor(150, 220, 90)},            // [8-}]
      {257, 286, Eyes::Up, Mouth::Open},                                      // [:-O]
      {263, 287, Eyes::Up, Mouth::Flat, QColor(255, 214, 40), false, false, true},  // [:-?]
      {256, 288, Eyes::Dots, Mouth::Tongue},                                  // [:P]
      {265, 289, Eyes::Up, Mouth::Flat, QColor(255, 214, 40), false, false, false, true},  // [:-w]
      {266, 290, Eyes::Angry, Mouth::Frown, QColor(245, 110, 60)},            // [X(]
  };
  res.mkpath("bitmaps");
  for (const Face& f : faces) {
    for (int scale : {1, 2}) {
      const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
      DrawFace(f, scale, QColor(192, 192, 192)).save(res.filePath(QStringLiteral("bitmaps/%1").arg(f.pickerId) + suffix));
      DrawFace(f, scale, Qt::transparent).save(res.filePath(QStringLiteral("bitmaps/%1").arg(f.transcriptId) + suffix));
    }
  }
}
