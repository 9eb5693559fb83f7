// Draws the program's own art and synthesises its sounds into res/.
// The outputs are committed; run this again only to change them:
//   talvero-make-res path/to/res
#include "DialogUnits.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <cmath>
#include <functional>
#include <vector>

void WriteEmoticons(const QDir& res);  // EmoticonArt.cpp

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// One note of a sound: a sine (with a touch of the octave) under an envelope.
struct Note {
  double startSeconds;
  double seconds;
  double hzFrom;
  double hzTo;  // a glide when it differs from hzFrom
  double volume;
  bool square = false;
};

QByteArray WaveFile(const std::vector<Note>& notes) {
  double total = 0;
  for (const Note& n : notes) total = std::max(total, n.startSeconds + n.seconds);
  const int frames = int(total * kRate) + kRate / 50;
  std::vector<double> mix(frames, 0.0);
  for (const Note& n : notes) {
    const int first = int(n.startSeconds * kRate);
    const int count = int(n.seconds * kRate);
    double phase = 0;
    for (int i = 0; i < count && first + i < frames; ++i) {
      const double t = double(i) / count;
      const double hz = n.hzFrom + (n.hzTo - n.hzFrom) * t;
      phase += 2 * kPi * hz / kRate;
      double wave = std::sin(phase) + 0.25 * std::sin(2 * phase);
      if (n.square) wave = wave >= 0 ? 0.8 : -0.8;
      const double attack = std::min(1.0, i / (0.005 * kRate));
      const double release = std::pow(1.0 - t, 1.5);
      mix[first + i] += wave * n.volume * attack * release;
    }
  }
  QByteArray pcm;
  pcm.reserve(frames * 2);
  for (double s : mix) {
    const qint16 v = qint16(std::clamp(s, -1.0, 1.0) * 30000);
    char le[2];
    qToLittleEndian(v, le);
    pcm.append(le, 2);
  }
  auto u32 = [](quint32 v) { char b[4]; qToLittleEndian(v, b); return QByteArray(b, 4); };
  auto u16 = [](quint16 v) { char b[2]; qToLittleEndian(v, b); return QByteArray(b, 2); };
  QByteArray out = "RIFF" + u32(36 + pcm.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) +
                   u32(kRate) + u32(kRate * 2) + u16(2) + u16(16) + "data" + u32(pcm.size());
  return out + pcm;
}

bool Write(const QString& path, const QByteArray& data) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(data) == data.size();
}

void WriteSounds(const QDir& res) {
  res.mkpath("sounds");
  const struct {
    int id;
    std::vector<Note> notes;
  } sounds[] = {
      // chat transfer: a rising two-tone call
      {140, {{0.00, 0.18, 660, 660, 0.5}, {0.16, 0.26, 880, 880, 0.5}}},
      // chat request while chatting: a low, polite double beep
      {141, {{0.00, 0.12, 440, 440, 0.45}, {0.17, 0.12, 440, 440, 0.45}}},
      // chat request: a bright three-note chime
      {143, {{0.00, 0.22, 784, 784, 0.4}, {0.12, 0.22, 988, 988, 0.4}, {0.24, 0.40, 1175, 1175, 0.4}}},
      // new line in a chat: one short pop
      {154, {{0.00, 0.09, 1250, 1000, 0.5}}},
      // new visitor: a soft, decaying bell
      {168, {{0.00, 0.55, 523, 523, 0.5}, {0.00, 0.55, 1046, 1046, 0.15}}},
      // connection failure: a falling buzz
      {301, {{0.00, 0.45, 420, 190, 0.35, true}}},
  };
  for (const auto& s : sounds) Write(res.filePath(QString("sounds/%1.wav").arg(s.id)), WaveFile(s.notes));
}

QImage Canvas(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

// Icon 128: a blue speech bubble with three dots, the console's mark.
QImage AppIcon(int size) {
  QImage img = Canvas(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size / 32.0;
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(2 * s, 3 * s, 28 * s, 20 * s), 6 * s, 6 * s);
  QPainterPath tail;
  tail.moveTo(8 * s, 21 * s);
  tail.lineTo(6 * s, 29 * s);
  tail.lineTo(15 * s, 22 * s);
  tail.closeSubpath();
  bubble = bubble.united(tail);
  QLinearGradient g(0, 0, 0, size);
  g.setColorAt(0, QColor(70, 140, 230));
  g.setColorAt(1, QColor(20, 70, 170));
  p.setPen(QPen(QColor(10, 40, 110), std::max(1.0, s)));
  p.setBrush(g);
  p.drawPath(bubble);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF((9 + 7 * i) * s, 13 * s), 2.2 * s, 2.2 * s);
  return img;
}

// Dialog units of the login window's template, in pixels.
int DuX(int du) { return CDialogUnits::X(du); }
int DuY(int du) { return CDialogUnits::Y(du); }

// A picture of w x h logical pixels at scale (1 or 2), painted in logical
// pixels: the 2x picture is drawn afresh, not enlarged.
void BeginScaled(QImage& img, QPainter& p, int w, int h, int scale,
                 QImage::Format format = QImage::Format_ARGB32_Premultiplied) {
  img = QImage(w * scale, h * scale, format);
  img.fill(Qt::transparent);
  p.begin(&img);
  p.scale(scale, scale);
}

// Bitmap 189: the left half of the login window, with the captions of the
// fields and check boxes that stand over it.
QImage LoginPicture(int scale) {
  const int width = DuX(263), height = DuY(182);
  QImage img;
  QPainter p;
  BeginScaled(img, p, width, height, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient body(0, 0, 0, height);
  body.setColorAt(0, QColor(238, 243, 251));
  body.setColorAt(1, QColor(255, 255, 255));
  p.fillRect(QRect(0, 0, width, height), body);
  QLinearGradient band(0, 0, width, 0);
  band.setColorAt(0, QColor(20, 70, 170));
  band.setColorAt(1, QColor(70, 140, 230));
  p.fillRect(QRect(0, 0, width, 74), band);
  p.drawImage(QRect(16, 13, 48, 48), AppIcon(48 * scale));
  p.setPen(Qt::white);
  QFont title("DejaVu Sans", 20, QFont::Bold);
  p.setFont(title);
  p.drawText(QPoint(76, 42), "Talvero");
  QFont subtitle("DejaVu Sans", 10);
  p.setFont(subtitle);
  p.drawText(QPoint(78, 62), "Executive Login");

  QFont caption("DejaVu Sans", 9);
  p.setFont(caption);
  p.setPen(QColor(32, 48, 80));
  const int right = DuX(146) - 8;
  const struct {
    const char* text;
    int y, h;
  } fields[] = {{"Site ID:", 56, 14}, {"Login ID:", 73, 14}, {"Password:", 90, 14}};
  for (const auto& f : fields)
    p.drawText(QRect(0, DuY(f.y), right, DuY(f.h)), Qt::AlignRight | Qt::AlignVCenter, f.text);
  const struct {
    const char* text;
    int x, y, h;
  } boxes[] = {{"Remember me", 146, 109, 10}, {"Secure connection", 146, 120, 10}};
  for (const auto& b : boxes)
    p.drawText(QRect(DuX(b.x + 10) + 6, DuY(b.y), 160, DuY(b.h)), Qt::AlignLeft | Qt::AlignVCenter, b.text);
  p.setPen(QColor(200, 210, 228));
  p.drawLine(12, DuY(160), width - 12, DuY(160));
  p.drawLine(width - 1, 0, width - 1, height);
  return img;
}

// Bitmap 170: the three row images of the visitor table, 16 pixels each:
// a chat request, a highlighted visitor, a visitor.
QImage RowImages(int scale) {
  QImage img;
  QPainter p;
  BeginScaled(img, p, 48, 16, scale);
  p.setRenderHint(QPainter::Antialiasing);
  // 0: a red speech bubble
  p.setPen(QPen(QColor(140, 0, 0), 1));
  p.setBrush(QColor(220, 30, 30));
  p.drawRoundedRect(QRectF(1.5, 2.5, 13, 9), 3, 3);
  QPolygonF tail({QPointF(4, 11), QPointF(3, 15), QPointF(8, 11)});
  p.drawPolygon(tail);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(5 + 3 * i, 7), 1, 1);
  // 1 and 2: a person, gold for a highlighted visitor, blue-grey otherwise
  const QColor colours[] = {QColor(230, 170, 20), QColor(110, 130, 160)};
  for (int i = 0; i < 2; ++i) {
    const double x = 16 * (i + 1);
    p.setPen(QPen(colours[i].darker(150), 1));
    p.setBrush(colours[i]);
    p.drawEllipse(QPointF(x + 8, 5), 3, 3);
    QPainterPath shoulders;
    shoulders.moveTo(x + 2, 15);
    shoulders.cubicTo(x + 2, 8.5, x + 14, 8.5, x + 14, 15);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
  }
  return img;
}

// Bitmaps 293 and 299: the mark of a pressed tab and of a pressed tool
// button, on magenta, which is drawn as transparent.
QImage PressedMark(bool tool, int scale) {
  QImage img;
  QPainter p;
  BeginScaled(img, p, 16, 16, scale, QImage::Format_RGB32);
  p.fillRect(QRect(0, 0, 16, 16), QColor(255, 0, 255));
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(tool ? QColor(0, 140, 60) : QColor(30, 90, 190));
  if (tool) {
    p.drawPolygon(QPolygon({QPoint(5, 3), QPoint(12, 8), QPoint(5, 13)}));
  } else {
    p.drawRect(3, 6, 10, 4);
    p.drawPolygon(QPolygon({QPoint(9, 2), QPoint(15, 8), QPoint(9, 14)}));
  }
  return img;
}

// Bitmap 310: a green padlock, shown while the connection is secure.
QImage Padlock(int scale) {
  QImage img;
  QPainter p;
  BeginScaled(img, p, 16, 16, scale);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 110, 40), 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4, 1.5, 8, 9), 0, 180 * 16);
  p.drawLine(QPointF(4, 6), QPointF(4, 8));
  p.drawLine(QPointF(12, 6), QPointF(12, 8));
  p.setPen(QPen(QColor(20, 110, 40), 1));
  p.setBrush(QColor(40, 170, 70));
  p.drawRoundedRect(QRectF(2.5, 7.5, 11, 8), 1.5, 1.5);
  p.setBrush(QColor(10, 70, 25));
  p.drawEllipse(QPointF(8, 11), 1.3, 1.3);
  return img;
}

// Cursor 161: a white pointing hand with a black outline, 32 x 32 logical
// pixels, the tip of the index finger at the hot spot (6,0).
QImage LinkHand(int scale) {
  QImage img = Canvas(32 * scale, 32 * scale);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  QPainterPath hand;
  hand.setFillRule(Qt::WindingFill);
  hand.addRoundedRect(QRectF(3.5, 0.5, 5, 16), 2.5, 2.5);     // index finger
  hand.addRoundedRect(QRectF(8.5, 8.5, 4.5, 9), 2.2, 2.2);    // middle
  hand.addRoundedRect(QRectF(13, 9.5, 4.5, 8.5), 2.2, 2.2);   // ring
  hand.addRoundedRect(QRectF(17.5, 11, 4, 7.5), 2, 2);        // little
  hand.addRoundedRect(QRectF(0.5, 13.5, 5, 8.5), 2.5, 2.5);   // thumb
  hand.addRoundedRect(QRectF(3.5, 14, 18, 11.5), 3, 3);       // palm
  hand.addRect(QRectF(6.5, 24, 13, 6));                       // cuff
  hand = hand.simplified();
  p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::white);
  p.drawPath(hand);
  p.setPen(QPen(Qt::black, 0.8));
  p.drawLine(QPointF(8.5, 12), QPointF(8.5, 16.5));   // between the fingers
  p.drawLine(QPointF(13, 12), QPointF(13, 17));
  p.drawLine(QPointF(17.5, 13), QPointF(17.5, 17.5));
  p.drawLine(QPointF(6.5, 24.5), QPointF(19.5, 24.5));  // the cuff's seam
  return img;
}

// Bitmap 186: the picture of the chat-request notice, the console's mark on white.
QImage PopUpPicture(int scale) {
  QImage img;
  QPainter p;
  BeginScaled(img, p, 40, 40, scale, QImage::Format_RGB32);
  p.fillRect(QRect(0, 0, 40, 40), Qt::white);
  p.drawImage(QRect(2, 3, 36, 36), AppIcon(36 * scale));
  return img;
}

void WriteArt(const QDir& res) {
  res.mkpath("icons");
  res.mkpath("bitmaps");
  res.mkpath("cursors");
  AppIcon(32).save(res.filePath("icons/128.png"));
  AppIcon(64).save(res.filePath("icons/128@2x.png"));
  // The installed icon theme's copies, one a size the desktop asks for.
  res.mkpath("icons/hicolor");
  for (const int size : {16, 24, 32, 48, 64, 128, 256})
    AppIcon(size).save(res.filePath(QStringLiteral("icons/hicolor/%1.png").arg(size)));
  for (const int scale : {1, 2}) {
    const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    const auto save = [&](const QImage& img, int id) { img.save(res.filePath(QStringLiteral("bitmaps/%1").arg(id) + suffix)); };
    save(LoginPicture(scale), 189);
    save(RowImages(scale), 170);
    save(PressedMark(false, scale), 293);
    save(PressedMark(true, scale), 299);
    save(Padlock(scale), 310);
    save(PopUpPicture(scale), 186);
  }
  LinkHand(1).save(res.filePath("cursors/161.png"));
  LinkHand(2).save(res.filePath("cursors/161@2x.png"));
  WriteEmoticons(res);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    fprintf(stderr, "usage: talvero-make-res RESDIR\n");
    return 2;
  }
  const QDir res(QString::fromLocal8Bit(argv[1]));
  if (!res.exists()) {
    fprintf(stderr, "talvero-make-res: %s does not exist\n", argv[1]);
    return 1;
  }
  WriteSounds(res);
  WriteArt(res);
  return 0;
}
