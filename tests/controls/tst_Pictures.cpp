// Every picture of res/ comes at 1x and 2x, and is loaded from its 2x
// picture wherever the device pixel ratio is above 1, at its logical size.
#include "ControlArt.h"
#include "ResourceArt.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QTest>

namespace {

// The pictures of the program as built in, without the icon theme's sizes
// (those are one picture in many sizes, not 1x art).
QStringList BuiltInPictures() {
  QStringList found;
  for (const char* folder : {":/bitmaps", ":/icons", ":/cursors"})
    for (QDirIterator it(QString::fromLatin1(folder), {QStringLiteral("*.png")}); it.hasNext();) {
      const QString path = it.next();
      if (!path.endsWith(QLatin1String("@2x.png"))) found << path;
    }
  return found;
}

QString Mate(const QString& path) { return path.chopped(4) + QStringLiteral("@2x.png"); }

}  // namespace

class TestPictures : public QObject {
  Q_OBJECT

 private slots:
  // In the source folder and in the program alike: a picture added to res/
  // without its mate, or left out of the resources, fails here.
  void everyPictureHasItsMate() {
    QStringList faults;
    int count = 0;
    for (QDirIterator it(QStringLiteral(TALVERO_RES_DIR), {QStringLiteral("*.png")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
      const QString path = it.next();
      const QString relative = QDir(QStringLiteral(TALVERO_RES_DIR)).relativeFilePath(path);
      if (relative.startsWith(QLatin1String("icons/hicolor/"))) continue;
      if (!QFile::exists(QStringLiteral(":/") + relative)) faults << relative + QStringLiteral(" is not built in");
      if (path.endsWith(QLatin1String("@2x.png"))) continue;
      ++count;
      const QImage one(path), two(Mate(path));
      if (two.isNull())
        faults << relative + QStringLiteral(" has no 2x picture");
      else if (two.size() != one.size() * 2)
        faults << relative + QStringLiteral(" is %1x%2, its 2x picture %3x%4")
                                 .arg(one.width()).arg(one.height()).arg(two.width()).arg(two.height());
    }
    QVERIFY(count >= 40);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
  }

  void loadedAtTheScreensRatio_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<qreal>("ratio");
    for (const QString& path : BuiltInPictures())
      for (const qreal ratio : {1.0, 1.5, 2.0}) QTest::addRow("%s at %.1f", qPrintable(path), ratio) << path << ratio;
  }

  void loadedAtTheScreensRatio() {
    QFETCH(QString, path);
    QFETCH(qreal, ratio);
    const QImage one(path);
    const QImage loaded = ResourceArt::Image(path, ratio);
    QCOMPARE(loaded.devicePixelRatio(), ratio > 1 ? 2.0 : 1.0);
    QCOMPARE(loaded.deviceIndependentSize().toSize(), one.size());
    // An icon offers both, so that QIcon picks the finer one itself.
    const QList<QSize> sizes = ResourceArt::Icon(path).availableSizes();
    QVERIFY(sizes.contains(one.size()) && sizes.contains(one.size() * 2));
    // The controls' bitmaps by id go the same way: the picker's faces too.
    if (path.startsWith(QLatin1String(":/bitmaps/"))) {
      const int id = path.mid(10).chopped(4).toInt();
      const QImage bitmap = ControlArt::LoadBitmap(id, ratio);
      QCOMPARE(bitmap.devicePixelRatio(), loaded.devicePixelRatio());
      QCOMPARE(ControlArt::KeyedPixmap(bitmap, Qt::magenta).devicePixelRatio(), loaded.devicePixelRatio());
    }
  }

  // The visitor table's row images are cut from the strip at its ratio.
  void stripPartsKeepTheirRatio() {
    for (const qreal ratio : {1.0, 2.0}) {
      const QPixmap strip = ResourceArt::Pixmap(ResourceArt::BitmapPath(170), ratio);
      const QPixmap part = ResourceArt::StripPart(strip, 2, 16);
      QCOMPARE(part.deviceIndependentSize().toSize(), QSize(16, 16));
      const QImage expected = strip.toImage().copy(QRect(QPoint(32, 0) * ratio, QSize(16, 16) * ratio));
      QCOMPARE(part.toImage().convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
    }
  }
};

QTEST_MAIN(TestPictures)
#include "tst_Pictures.moc"
