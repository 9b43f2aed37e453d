// Placement, scale, zoom to fit, coasting, picking and band selection of the timeline, on a
// panel that is never shown: everything here is arithmetic over the items.

#include "FakeRows.h"
#include "graph/VeskoraXGraphUtils.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

namespace {

constexpr std::int64_t kHour = 3600000;
constexpr std::int64_t kBase = 1420070400000;  // 2015-01-01 00:00 UTC

struct TFixture {
  QWidget Panel;
  TFakeRows Rows;
  TMetroVORNItemTimeline View{&Panel, &Rows};
  std::uint32_t Tick = 0;

  explicit TFixture(QSize size = {743, 442}) {
    Panel.resize(size);
    Rows.View = &View;
    View.SetTickSource([this] { return Tick; });
  }
  TTLNode& Item(int index) const {
    return static_cast<TTLNode&>(*View.Items()[static_cast<std::size_t>(index)]);
  }
};

}  // namespace

class TTimelineLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void itemSize_data() {
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("0.9 squashes to the square") << 0.9 << 24 << 24;
    QTest::newRow("1.0") << 1.0 << 120 << 24;
    QTest::newRow("10.0") << 10.0 << 1200 << 240;
    QTest::newRow("halves up to even") << 1.0625 << 128 << 26;
    QTest::newRow("halves down to even") << 1.1875 << 142 << 28;
  }
  void itemSize() {
    QFETCH(double, factor);
    TFixture f;
    f.View.SetItemSize(factor);
    QFETCH(int, width);
    QFETCH(int, height);
    QCOMPARE(f.View.ItemWidth(), width);
    QCOMPARE(f.View.ItemHeight(), height);
    QCOMPARE(f.View.SizeFactor(), factor);
  }

  void laneCount_data() {
    QTest::addColumn<int>("clientHeight");
    QTest::addColumn<int>("itemHeight");
    QTest::addColumn<int>("lanes");
    QTest::newRow("442 / 40") << 442 << 40 << 8;
    QTest::newRow("exactly one lane") << 160 << 40 << 1;
    QTest::newRow("shorter than four items still one lane") << 100 << 40 << 1;
    QTest::newRow("empty panel") << 0 << 240 << 1;
  }
  void laneCount() {
    QFETCH(int, clientHeight);
    QFETCH(int, itemHeight);
    QFETCH(int, lanes);
    QCOMPARE(TimelineLaneCount(clientHeight, itemHeight), lanes);
  }

  void lanesRoundRobinInTimeOrder() {
    TFixture f({743, 442});
    // Added out of time order, with one unreadable time that gets no item.
    for (int i = 9; i >= 0; --i) f.Rows.Add(kBase + i * kHour);
    f.Rows.Add(kTimelineNoTime);
    f.View.Rebuild();
    QCOMPARE(f.View.Items().size(), std::size_t(10));
    const int expectedY[] = {40, 80, 120, 160, 200, 240, 280, 320, 40, 80};
    for (int i = 0; i < 10; ++i) {
      QCOMPARE(f.Item(i).Data->Modified, kBase + i * kHour);
      QCOMPARE(f.Item(i).Y, expectedY[i]);
      QCOMPARE(f.Item(i).Width, 200);
    }
    QCOMPARE(f.View.MinTime(), kBase);
    QCOMPARE(f.View.MaxTime(), kBase + 9 * kHour + 60000);
    QCOMPARE(f.Item(9).X, 9982);  // 9981.5…, rounded
  }

  void singleFile() {
    TFixture f;
    f.Rows.Add(kBase);
    f.View.Rebuild();
    QCOMPARE(f.View.Items().size(), std::size_t(1));
    QCOMPARE(f.View.MaxTime() - f.View.MinTime(), std::int64_t(60000));
    QCOMPARE(f.Item(0).X, 0);
    QCOMPARE(f.View.PixelsPerMs(), 10000.0 / 60000.0);
  }

  void emptyListAndShortPanel() {
    TFixture f({743, 100});  // room for no lane by the rule: everything goes to one lane
    f.View.Rebuild();
    QVERIFY(f.View.Items().empty());
    f.Rows.Add(kBase);
    f.Rows.Add(kBase + 1000);
    f.View.Rebuild();
    QCOMPARE(f.Item(0).Y, 40);
    QCOMPARE(f.Item(1).Y, 40);
  }

  void nudgeOnlyOnce() {
    TFixture f({743, 160});  // one lane
    for (const std::int64_t ms : {0, 100, 150, 1000}) f.Rows.Add(kBase + ms);
    f.View.Rebuild();
    f.View.SetScale(122);  // 61000 pixels over 61000 ms: one pixel per millisecond
    QCOMPARE(f.View.PixelsPerMs(), 1.0);
    QCOMPARE(f.Item(0).X, 0);
    QCOMPARE(f.Item(1).X, 104);   // starts inside the previous tile: moves 4 pixels
    QCOMPARE(f.Item(2).X, 154);   // still overlaps after the nudge; no second nudge
    QCOMPARE(f.Item(3).X, 1000);  // clear of the previous tile
  }

  void setScale() {
    TFixture f;
    f.View.SetScale(1);
    QCOMPARE(f.View.WorldWidth(), 743);  // never narrower than the panel
    QCOMPARE(f.View.GetScale(), 743 / 500.0);

    for (int i = 0; i < 50; ++i) f.Rows.Add(kBase + i * 7 * kHour);
    f.View.Rebuild();
    f.View.SetScale(300);
    const int half = 743 / 2;
    for (const double position : {1000.0, 37.7, 4321.0, 300.0}) {
      const double before = f.View.TimeAtPanelX(half);
      f.View.SetScale(position);
      const double driftPixels = (f.View.TimeAtPanelX(half) - before) * f.View.PixelsPerMs();
      QVERIFY2(std::abs(driftPixels) <= 1.0, qPrintable(QString::number(driftPixels)));
      QCOMPARE(f.View.ViewRight() - f.View.ViewLeft(), 743);
    }
  }

  void zoomToFit() {
    TFixture f;
    TFileNodeData* a = f.Rows.Add(kBase);
    TFileNodeData* b = f.Rows.Add(kBase + 1000);
    TFileNodeData* c = f.Rows.Add(kBase + 1200);
    f.Rows.Add(kBase + 90000);
    f.View.Rebuild();
    f.View.SetScale(300);  // 150000 pixels over 150000 ms
    QCOMPARE(f.Item(1).X, 1000);
    QCOMPARE(f.Item(2).X, 1200);

    const int viewLeft = f.View.ViewLeft();
    f.View.ZoomToFit(true, false);  // nothing selected: nothing happens
    QCOMPARE(f.View.WorldWidth(), 150000);
    QCOMPARE(f.View.ViewLeft(), viewLeft);

    f.Rows.Selected = {b, c};
    f.View.ZoomToFit(true, true);  // pan only
    QCOMPARE(f.View.ViewLeft(), 1000);
    QCOMPARE(f.View.WorldWidth(), 150000);

    f.View.ZoomToFit(true, false);
    QCOMPARE(f.View.GetScale(), 1114.5);
    QCOMPARE(f.View.WorldWidth(), 557250);
    // The centre keeps the time that lay half a panel right of the earliest selected item.
    QCOMPARE(f.View.ViewLeft(), 5093 - 371);

    // All counted items at one x: no width to fit, so the scale stays and the view pans.
    f.Rows.Selected = {a};
    f.View.ZoomToFit(true, false);
    QCOMPARE(f.View.WorldWidth(), 557250);
    QCOMPARE(f.View.ViewLeft(), 0);
  }

  void momentumAfterPanRelease() {
    TFixture f;
    f.Tick = 5000;
    f.View.MouseDown(Qt::LeftButton, Qt::NoModifier, 100, 50);
    f.Tick = 5150;
    f.View.MouseUp(Qt::LeftButton, Qt::NoModifier, 400, 50);
    QCOMPARE(f.View.VelocityX(), 80.0f);
    QVERIFY(f.View.MomentumRunning());

    QList<int> moves;
    int ticks = 0;
    const int start = f.View.ViewLeft();
    while (f.View.MomentumRunning() && ticks < 1000) {
      const int before = f.View.ViewLeft();
      f.View.MomentumTick();
      moves << before - f.View.ViewLeft();
      ++ticks;
    }
    QCOMPARE(moves.mid(0, 8), (QList<int>{80, 72, 65, 58, 52, 47, 43, 38}));
    QCOMPARE(start - f.View.ViewLeft(), 795);  // not limited to the world
    QCOMPARE(ticks, 64);
  }

  void rightClickCoastsWithNoSpeed() {
    TFixture f;
    f.Tick = 100;
    f.View.MouseDown(Qt::RightButton, Qt::NoModifier, 200, 50);
    f.Tick = 120;
    f.View.MouseUp(Qt::RightButton, Qt::NoModifier, 200, 50);
    QVERIFY(f.View.MomentumRunning());
    f.View.MomentumTick();
    QVERIFY(!f.View.MomentumRunning());
    QCOMPARE(f.View.ViewLeft(), 0);
  }

  void panClampedToWorld() {
    TFixture f;
    f.View.MouseDown(Qt::LeftButton, Qt::NoModifier, 300, 50);
    f.View.MouseMove(Qt::LeftButton, Qt::NoModifier, 600, 50);
    QCOMPARE(f.View.ViewLeft(), 0);
    f.View.MouseMove(Qt::LeftButton, Qt::NoModifier, 500, 50);
    QCOMPARE(f.View.ViewLeft(), 100);
    f.View.MouseMove(Qt::LeftButton, Qt::NoModifier, -20000, 50);
    QCOMPARE(f.View.ViewLeft(), 10000);
    QCOMPARE(f.View.ViewRight(), 10743);
    f.View.MouseMove(Qt::NoButton, Qt::NoModifier, 0, 50);  // a hover does not pan
    QCOMPARE(f.View.ViewLeft(), 10000);
  }

  void hitTest_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("item");  // -1: none
    QTest::newRow("first only") << QPoint(10, 10) << 0;
    QTest::newRow("overlap: the later item") << QPoint(60, 30) << 1;
    QTest::newRow("left and top edges are inside") << QPoint(50, 20) << 1;
    QTest::newRow("right edge is outside") << QPoint(150, 30) << -1;
    QTest::newRow("bottom edge is outside") << QPoint(60, 60) << -1;
    QTest::newRow("not drawn by the last paint") << QPoint(310, 30) << -1;
  }
  void hitTest() {
    TFixture f;
    for (int i = 0; i < 3; ++i) f.Rows.Add(kBase + i);
    f.View.Rebuild();
    const TEdges rects[] = {{0, 0, 100, 40}, {50, 20, 150, 60}, {300, 20, 400, 60}};
    for (int i = 0; i < 3; ++i) {
      f.Item(i).ScreenRect = rects[i];
      f.Item(i).Visible = true;
      f.Item(i).OnScreen = i < 2;
    }
    QFETCH(QPoint, point);
    QFETCH(int, item);
    TNWNode* hit = f.View.HitTest(point.x(), point.y());
    QCOMPARE(hit, item < 0 ? nullptr : &f.Item(item));
  }

  void selectInRect() {
    TFixture f;
    for (int i = 0; i < 4; ++i) f.Rows.Add(kBase + i * kHour);
    TFileNodeData* noItem = f.Rows.Add(kTimelineNoTime);
    f.View.Rebuild();
    const int positions[][2] = {{100, 40}, {200, 80}, {300, 120}, {400, 160}};
    for (int i = 0; i < 4; ++i) {
      f.Item(i).X = positions[i][0];
      f.Item(i).Y = positions[i][1];
    }
    f.Rows.Selected = {noItem, f.Item(0).TreeNode};

    f.View.SelectInRect({200, 80, 300, 120});  // edges inclusive
    QCOMPARE(f.Rows.Selected, (std::unordered_set<const TFileNodeData*>{noItem, f.Item(1).TreeNode,
                                                                        f.Item(2).TreeNode}));
    QCOMPARE(f.Rows.BatchCalls, 1);  // one change for the whole band

    f.View.SelectInRect({400, 0, 100, 1000});  // right of left: holds nothing
    QCOMPARE(f.Rows.Selected, (std::unordered_set<const TFileNodeData*>{noItem}));
  }

  void toggleSelectMode() {
    TFixture f;
    f.View.ToggleSelectMode();
    QCOMPARE(f.View.SelectState(), selArmed);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    f.View.ToggleSelectMode();
    QCOMPARE(f.View.SelectState(), selNone);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
  }

  void statusWhileSelecting() {
    TFixture f;
    f.Rows.Add(kBase);
    f.View.Rebuild();
    QStringList texts;
    f.View.OnStatus = [&texts](TVORNItemNetwork*, int code, const QString& text, int) {
      QCOMPARE(code, 0);
      texts << text;
    };
    f.View.MouseMove(Qt::NoButton, Qt::NoModifier, 0, 10);  // not selecting: no text
    f.View.ToggleSelectMode();
    f.View.MouseMove(Qt::NoButton, Qt::NoModifier, 0, 10);
    f.View.ToggleSelectMode();
    QCOMPARE(texts, QStringList{QStringLiteral("Selecting: 01/01/2015 00:00:00")});
  }

  void removedRowsLoseTheirItems() {
    TFixture f;
    TFileNodeData* a = f.Rows.Add(kBase);
    TFileNodeData* b = f.Rows.Add(kBase + kHour);
    f.Rows.Add(kBase + 2 * kHour);
    f.View.Rebuild();
    f.Item(1).ScreenRect = {0, 0, 100, 40};
    f.Item(1).OnScreen = true;
    f.View.MouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10);
    QCOMPARE(f.View.PressedItem(), &f.Item(1));

    f.Rows.Remove(b);
    QCOMPARE(f.View.Items().size(), std::size_t(2));
    QCOMPARE(f.View.PressedItem(), nullptr);
    for (const auto& item : f.View.Items()) QVERIFY(item->Data != b);
    f.View.MouseMove(Qt::LeftButton, Qt::NoModifier, 10, 200);  // pans; nothing dangles
    f.View.ZoomToFit(false, false);

    f.Rows.Remove(a);
    f.View.Clear();
    QVERIFY(f.View.Items().empty());
  }

  void itemSizeChangeRestoresLanes() {
    TFixture f;
    for (int i = 0; i < 3; ++i) f.Rows.Add(kBase + i * kHour);
    f.View.Rebuild();
    const int x = f.Item(1).X;
    f.Item(1).Y = 7;  // dragged up
    f.View.SetScale(40);
    QCOMPARE(f.Item(1).Y, 7);  // a scale change keeps heights
    f.View.SetItemSize(1.5);
    f.View.LayoutLanes(true);
    QCOMPARE(f.Item(1).Y, 72);  // lane 1 at the new height of 36
    QVERIFY(f.Item(1).X != x);
  }
};

QTEST_MAIN(TTimelineLayoutTest)
#include "tst_timelinelayout.moc"
