// What a paint puts on the panel, read back from an offscreen image: background, axis, tile
// colours, the picture box, the text rule of small tiles, the band, and the cap on drawn tiles.

#include "FakeRows.h"
#include "graph/VeskoraXGraphUtils.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

namespace {

constexpr std::int64_t kBase = 1420070400000;  // 2015-01-01 00:00 UTC
const QColor kBack(0, 24, 63);

struct TFixture {
  QWidget Panel;
  TFakeRows Rows;
  TMetroVORNItemTimeline View{&Panel, &Rows};

  TFixture() {
    Panel.resize(400, 300);
    Rows.View = &View;
  }
  QImage Render() {
    QImage image(Panel.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    View.PaintPanel(painter);
    return image;
  }
  TNWNode& Item(int index) const { return *View.Items()[static_cast<std::size_t>(index)]; }
};

QColor At(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Draws every tile whole: the reference for the paint that leaves out covered parts.
class TWholeTilesTimeline : public TMetroVORNItemTimeline {
 public:
  using TMetroVORNItemTimeline::TMetroVORNItemTimeline;
  void DrawEveryTileWhole() { FSkipCoveredParts = false; }
};

}  // namespace

class TTimelinePaintTest : public QObject {
  Q_OBJECT

 private slots:
  void emptyListShowsOnlyBackground() {
    TFixture f;
    f.View.Rebuild();
    QImage expected(f.Panel.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(kBack);
    QCOMPARE(f.Render(), expected);
  }

  void tileAxisAndIcon() {
    TFixture f;
    f.Rows.Add(kBase, 3);
    f.View.Rebuild();
    const QImage image = f.Render();
    // Lane 0 at y = 40, 200 × 40 from x = 0: (0, 20) – (200, 60).
    const TEdges r = f.Item(0).ScreenRect;
    QCOMPARE(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top), QRect(0, 20, 200, 40));
    QCOMPARE(At(image, 198, 58), QColor(0x10, 0x96, 0x18));  // ImageIndex 3
    QCOMPARE(At(image, 10, 30), QColor(250, 250, 250));      // the icon at (4, 24)
    QCOMPARE(At(image, 300, 100), kBack);
    QCOMPARE(At(image, 300, 259), QColor(180, 180, 180));  // the axis at C − 40
  }

  void selectedTileIsBlue() {
    TFixture f;
    TFileNodeData* record = f.Rows.Add(kBase, 3);
    f.View.Rebuild();
    f.Rows.Selected = {record};
    QCOMPARE(At(f.Render(), 198, 58), QColor(0, 0, 255));
  }

  void thumbnailFillsTheFittedBox() {
    TFixture f;
    TFileNodeData* record = f.Rows.Add(kBase, 3);
    int requests = 0;
    f.View.OnThumbnailNeeded = [&](TVORNItemNetwork*, TFileNodeData* asked) {
      QCOMPARE(asked, record);
      ++requests;
    };
    f.View.Rebuild();
    f.Render();
    f.Render();
    QCOMPARE(requests, 2);  // asked again by every paint; the receiver ignores repeats

    auto* picture = new QImage(200, 100, QImage::Format_RGB32);
    picture->fill(Qt::red);
    record->Thumbnail.store(picture);
    const QImage image = f.Render();
    QCOMPARE(requests, 2);
    // Box (2, 22) – (38, 58); a 2:1 picture is 36 × 18 from y = 31.
    QCOMPARE(At(image, 20, 40), QColor(Qt::red));
    QCOMPARE(At(image, 20, 31), QColor(Qt::red));
    QCOMPARE(At(image, 20, 29), QColor(0x10, 0x96, 0x18));
    QCOMPARE(At(image, 20, 50), QColor(0x10, 0x96, 0x18));
  }

  void smallTilesShowNoText() {
    TFixture f;
    f.Rows.Add(kBase, -1, "a-rather-long-file-name.txt", "/home/ana/a-rather-long-file-name.txt");
    f.View.Rebuild();
    const auto tilePixels = [&f](const QImage& image) {
      QSet<QRgb> colours;
      const TEdges r = f.Item(0).ScreenRect;
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) colours.insert(image.pixel(x, y));
      return colours;
    };
    QVERIFY(tilePixels(f.Render()).size() > 1);  // text on a 200 × 40 tile
    f.View.SetItemSize(0.5);
    f.View.LayoutLanes(true);
    QCOMPARE(f.View.ItemWidth(), 24);
    // A type without an icon, no thumbnail, no text: one flat grey square.
    QCOMPARE(tilePixels(f.Render()), QSet<QRgb>{kNoTypeItemColor});
  }

  void bandOutline() {
    TFixture f;
    f.Rows.Add(kBase);
    f.View.Rebuild();
    f.View.ToggleSelectMode();
    f.View.MouseDown(Qt::LeftButton, Qt::NoModifier, 100, 150);
    f.View.MouseMove(Qt::LeftButton, Qt::NoModifier, 300, 150);
    const QImage image = f.Render();
    QCOMPARE(At(image, 100, 150), QColor(200, 200, 200));
    QCOMPARE(At(image, 300, 150), QColor(200, 200, 200));
    QCOMPARE(At(image, 200, 150), kBack);
    f.View.MouseUp(Qt::LeftButton, Qt::NoModifier, 300, 150);
    QCOMPARE(At(f.Render(), 100, 150), kBack);
  }

  void coveredPartsLeftOutGiveTheSamePicture() {
    QWidget panel;
    panel.resize(600, 300);
    TFakeRows rows;
    TMetroVORNItemTimeline view(&panel, &rows);
    TWholeTilesTimeline reference(&panel, &rows);
    reference.DrawEveryTileWhole();
    for (int i = 0; i < 400; ++i) {
      TFileNodeData* record = rows.Add(kBase + (i * i) % 5000 * 20, i % 23 - 1,
                                       QByteArray("file ") + QByteArray::number(i),
                                       "/home/ana/" + QByteArray(i % 40, 'x') + "/end");
      if (i % 7 == 0) rows.Selected.insert(record);
    }
    QImage thumb(30, 60, QImage::Format_RGB32);
    thumb.fill(Qt::yellow);
    rows.Records[5]->Thumbnail.store(new QImage(thumb));
    for (TMetroVORNItemTimeline* v : {&view, static_cast<TMetroVORNItemTimeline*>(&reference)}) {
      v->Rebuild();
      v->SetScale(2);
      v->Items()[200]->Y = 10;  // dragged onto another tile's row
      v->Items()[300]->Y = v->Items()[100]->Y;
    }
    const auto render = [&panel](TVORNItemNetwork& v) {
      QImage image(panel.size(), QImage::Format_ARGB32_Premultiplied);
      QPainter painter(&image);
      v.PaintPanel(painter);
      return image;
    };
    QCOMPARE(render(view), render(reference));
    view.SetItemSize(2.5);
    view.LayoutLanes(true);
    reference.SetItemSize(2.5);
    reference.LayoutLanes(true);
    QCOMPARE(render(view), render(reference));
  }

  void drawsAtMostTheEarliestItems() {
    TFixture f;
    for (int i = 0; i < 7000; ++i) f.Rows.Add(kBase + i / 100);  // all within a few pixels
    f.View.Rebuild();
    f.Render();
    int visible = 0;
    for (int i = 0; i < 7000; ++i) {
      QVERIFY(f.Item(i).OnScreen);
      QCOMPARE(f.Item(i).Visible, i < 6000);
      visible += f.Item(i).Visible;
    }
    QCOMPARE(visible, f.View.MaxDrawnItems());
    for (int y = 0; y < 300; y += 5) {
      TNWNode* hit = f.View.HitTest(2, y);
      QVERIFY(!hit || hit->Visible);
    }
  }
};

QTEST_MAIN(TTimelinePaintTest)
#include "tst_timelinepaint.moc"
