// Draws the program's own art and synthesises its sounds into res/.
// The outputs are committed; run this again only to change them:
//   talvero-make-res path/to/res
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

void WriteArt(const QDir& res) {
  res.mkpath("icons");
  AppIcon(32).save(res.filePath("icons/128.png"));
  AppIcon(64).save(res.filePath("icons/128@2x.png"));
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
