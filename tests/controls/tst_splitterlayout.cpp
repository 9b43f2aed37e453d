#include <QtTest>

#include <optional>
#include <stdexcept>

#include "controls/SplitterLayout.h"

using TSizes = QList<int>;

namespace {

TSplitterLayout MakeLayout(TOrientation orientation, QSize size, const TSizes& sizes,
                           int thickness = 3, int minSize = 30) {
  TSplitterLayout layout;
  layout.SetOrientation(orientation);
  layout.SetSize(size);
  layout.SetThickness(static_cast<std::uint8_t>(thickness));
  for (int s : sizes)
    layout.AppendPane(static_cast<std::uint16_t>(s), static_cast<std::uint16_t>(minSize));
  return layout;
}

TSizes SizesOf(const TSplitterLayout& layout) {
  TSizes sizes;
  for (int i = 0; i < layout.PaneCount(); ++i) sizes << layout.PaneSize(i);
  return sizes;
}

// Press on the centre of the bar after pane `bar`, optionally move to `to`, release.
void Drag(TSplitterLayout& layout, int bar, std::optional<QPoint> to, int pressOffset = 0) {
  const int centre = layout.SumSizes(bar);
  const QPoint press = layout.Orientation() == swVertical ? QPoint(centre + pressOffset, 5)
                                                          : QPoint(5, centre + pressOffset);
  QVERIFY(layout.BeginDrag(press));
  QCOMPARE(layout.DragBar(), bar);
  if (to) layout.SetDragPos(layout.ClampDragPoint(*to));
  layout.ApplyDragRelease();
  layout.EndDrag();
}

}  // namespace

class TSplitterLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void halves_data();
  void halves();
  void rescale_data();
  void rescale();
  void arrange_data();
  void arrange();
  void barRectCoversGapPlusOne();
  void dragRelease_data();
  void dragRelease();
  void releaseWithoutMoveUsesPressPoint();
  void horizontalDragStopsAtNeighbourMinimums();
  void forwardRule_data();
  void forwardRule();
  void backwardCascade_data();
  void backwardCascade();
  void lastPaneCannotBeSetAlone();
  void orientationSwitchConvertsSizes();
  void adjustLastPaneNeverWraps();
  void minSizeFallsBackToScrollBars();
  void indexErrorsChangeNothing();
};

void TSplitterLayoutTest::halves_data() {
  QTest::addColumn<int>("thickness");
  QTest::addColumn<int>("down");
  QTest::addColumn<int>("up");
  QTest::newRow("1") << 1 << 0 << 0;  // 0.5 rounds to even
  QTest::newRow("3") << 3 << 1 << 2;
  QTest::newRow("5") << 5 << 2 << 2;
  QTest::newRow("6") << 6 << 3 << 3;
  QTest::newRow("7") << 7 << 3 << 4;
}

void TSplitterLayoutTest::halves() {
  QFETCH(int, thickness);
  QTEST(HalfDown(thickness), "down");
  QTEST(HalfUp(thickness), "up");
}

void TSplitterLayoutTest::rescale_data() {
  QTest::addColumn<TSizes>("sizes");
  QTest::addColumn<int>("extent");
  QTest::addColumn<bool>("all");
  QTest::addColumn<TSizes>("expected");
  QTest::newRow("main window at 984") << TSizes{246, 746} << 984 << true << TSizes{244, 740};
  QTest::newRow("main window at 992") << TSizes{246, 746} << 992 << true << TSizes{246, 746};
  QTest::newRow("three grow") << TSizes{100, 100, 200} << 600 << true << TSizes{150, 150, 300};
  QTest::newRow("last keeps its size")
      << TSizes{100, 300, 75} << 475 << false << TSizes{100, 300, 75};
  QTest::newRow("new pane of 75") << TSizes{400, 75} << 400 << false << TSizes{325, 75};
  QTest::newRow("extent smaller than the last pane")
      << TSizes{100, 300} << 200 << false << TSizes{0, 200};
  QTest::newRow("closed panes stay closed")
      << TSizes{0, 0, 10} << 300 << false << TSizes{0, 0, 300};
}

void TSplitterLayoutTest::rescale() {
  QFETCH(TSizes, sizes);
  QFETCH(int, extent);
  QFETCH(bool, all);
  TSplitterLayout layout = MakeLayout(swVertical, QSize(extent, 100), sizes);
  layout.RescalePanes(all);
  QTEST(SizesOf(layout), "expected");
}

void TSplitterLayoutTest::arrange_data() {
  QTest::addColumn<int>("orientation");
  QTest::addColumn<int>("thickness");
  QTest::addColumn<TSizes>("sizes");
  QTest::addColumn<QList<QRect>>("bounds");
  QTest::newRow("main window") << int(swVertical) << 6 << TSizes{246, 746}
                               << QList<QRect>{{0, 0, 243, 500}, {249, 0, 743, 500}};
  QTest::newRow("dragged to 400") << int(swVertical) << 6 << TSizes{400, 592}
                                  << QList<QRect>{{0, 0, 397, 500}, {403, 0, 589, 500}};
  QTest::newRow("three across") << int(swVertical) << 3 << TSizes{300, 300, 392}
                                << QList<QRect>{
                                       {0, 0, 299, 500}, {302, 0, 297, 500}, {602, 0, 390, 500}};
  QTest::newRow("three down") << int(swHorizontal) << 3 << TSizes{100, 200, 200}
                              << QList<QRect>{
                                     {0, 0, 992, 99}, {0, 102, 992, 197}, {0, 302, 992, 198}};
  QTest::newRow("one pane fills") << int(swVertical) << 6 << TSizes{992}
                                  << QList<QRect>{{0, 0, 992, 500}};
}

void TSplitterLayoutTest::arrange() {
  QFETCH(int, orientation);
  QFETCH(int, thickness);
  QFETCH(TSizes, sizes);
  const TSplitterLayout layout =
      MakeLayout(TOrientation(orientation), QSize(992, 500), sizes, thickness);
  const std::vector<QRect> bounds = layout.ArrangePanes();
  QTEST(QList<QRect>(bounds.begin(), bounds.end()), "bounds");
}

void TSplitterLayoutTest::barRectCoversGapPlusOne() {
  // Thickness 3 at P = 200: the gap is x 199..201, the bar 199..202.
  const TSplitterLayout layout = MakeLayout(swVertical, QSize(500, 80), {200, 300}, 3);
  const std::vector<QRect> bounds = layout.ArrangePanes();
  QCOMPARE(bounds[0].right() + 1, 199);
  QCOMPARE(bounds[1].left() - 1, 201);
  QCOMPARE(layout.BarRect(200), QRect(199, 0, 4, 80));

  const TSplitterLayout down = MakeLayout(swHorizontal, QSize(80, 500), {200, 300}, 3);
  QCOMPARE(down.BarRect(200), QRect(0, 199, 80, 4));
}

void TSplitterLayoutTest::dragRelease_data() {
  QTest::addColumn<int>("x");
  QTest::addColumn<TSizes>("expected");
  QTest::newRow("inside") << 400 << TSizes{400, 584};
  QTest::newRow("lower limit") << 30 << TSizes{30, 954};
  QTest::newRow("upper limit") << 954 << TSizes{954, 30};
  QTest::newRow("short of the first minimum") << 10 << TSizes{30, 954};
  QTest::newRow("left of the window") << -50 << TSizes{30, 954};
  QTest::newRow("far left of the window") << -6000 << TSizes{30, 954};
  QTest::newRow("past the second minimum") << 970 << TSizes{954, 30};
  QTest::newRow("right of the window") << 1500 << TSizes{954, 30};
}

void TSplitterLayoutTest::dragRelease() {
  QFETCH(int, x);
  TSplitterLayout layout = MakeLayout(swVertical, QSize(984, 500), {244, 740}, 6);
  Drag(layout, 0, QPoint(x, 250));
  QTEST(SizesOf(layout), "expected");
  QCOMPARE(layout.DragBar(), -1);
}

void TSplitterLayoutTest::releaseWithoutMoveUsesPressPoint() {
  TSplitterLayout layout = MakeLayout(swVertical, QSize(984, 500), {244, 740}, 6);
  Drag(layout, 0, std::nullopt, 2);
  QCOMPARE(SizesOf(layout), (TSizes{246, 738}));

  // A drag that ended past the lower limit must not colour the next click on the bar.
  Drag(layout, 0, QPoint(10, 250));
  QCOMPARE(SizesOf(layout), (TSizes{30, 954}));
  TSplitterLayout three = MakeLayout(swVertical, QSize(300, 100), {100, 100, 100});
  Drag(three, 1, QPoint(120, 50));
  QVERIFY(three.PastLowerLimit());
  Drag(three, 1, std::nullopt, 2);
  QCOMPARE(SizesOf(three), (TSizes{100, 32, 168}));
}

void TSplitterLayoutTest::horizontalDragStopsAtNeighbourMinimums() {
  TSplitterLayout layout = MakeLayout(swHorizontal, QSize(100, 400), {200, 200}, 3, 40);
  QVERIFY(layout.BeginDrag(QPoint(50, 200)));
  QCOMPARE(layout.ClampDragPoint(QPoint(50, -80)), QPoint(50, 40));
  QCOMPARE(layout.ClampDragPoint(QPoint(50, 390)), QPoint(50, 360));
  QCOMPARE(layout.ClampDragPoint(QPoint(-20, 250)), QPoint(-20, 250));
  QVERIFY(!layout.PastLowerLimit());
  layout.SetDragPos(layout.ClampDragPoint(QPoint(50, 5)));
  layout.ApplyDragRelease();
  QCOMPARE(SizesOf(layout), (TSizes{40, 360}));
}

void TSplitterLayoutTest::forwardRule_data() {
  QTest::addColumn<TSizes>("sizes");
  QTest::addColumn<int>("pane");
  QTest::addColumn<int>("request");
  QTest::addColumn<TSizes>("expected");
  const TSizes even{100, 100, 100};
  QTest::newRow("shrink gives to the neighbour") << even << 0 << 50 << TSizes{50, 150, 100};
  QTest::newRow("grow takes from the neighbour") << even << 0 << 160 << TSizes{160, 40, 100};
  QTest::newRow("grow cascades") << even << 0 << 180 << TSizes{180, 30, 90};
  QTest::newRow("beyond the limit") << even << 0 << 250 << TSizes{240, 30, 30};
  QTest::newRow("exactly the limit") << even << 0 << 240 << TSizes{240, 30, 30};
  QTest::newRow("middle pane") << even << 1 << 150 << TSizes{100, 150, 50};
  QTest::newRow("below the minimum is kept") << even << 1 << 10 << TSizes{100, 10, 190};
  QTest::newRow("negative request wraps high") << even << 0 << 65486 << TSizes{240, 30, 30};
  QTest::newRow("four panes, cascade of three")
      << TSizes{100, 100, 100, 100} << 0 << 290 << TSizes{290, 30, 30, 50};
  QTest::newRow("minimums exceed the room") << TSizes{20, 20, 20} << 1 << 50 << TSizes{20, 10, 30};
}

void TSplitterLayoutTest::forwardRule() {
  QFETCH(TSizes, sizes);
  QFETCH(int, pane);
  QFETCH(int, request);
  int extent = 0;
  for (int s : sizes) extent += s;
  TSplitterLayout layout = MakeLayout(swVertical, QSize(extent, 100), sizes);
  layout.SetPaneSize(pane, static_cast<std::uint16_t>(request));
  QTEST(SizesOf(layout), "expected");
}

void TSplitterLayoutTest::backwardCascade_data() {
  QTest::addColumn<TSizes>("sizes");
  QTest::addColumn<int>("bar");
  QTest::addColumn<int>("x");
  QTest::addColumn<TSizes>("expected");
  const TSizes three{100, 100, 100};
  // Past the leading edge of the pane before the bar: the pane after the bar grows back to x.
  QTest::newRow("one before") << three << 1 << 80 << TSizes{50, 30, 220};
  QTest::newRow("to the limit") << three << 1 << 50 << TSizes{30, 30, 240};
  QTest::newRow("off the window") << three << 1 << -400 << TSizes{30, 30, 240};
  QTest::newRow("far off the window") << three << 1 << -7000 << TSizes{30, 30, 240};
  QTest::newRow("two gathered of three")
      << TSizes{200, 100, 100} << 1 << 190 << TSizes{160, 30, 210};
  QTest::newRow("one gathered at the limit")
      << TSizes{30, 100, 100} << 1 << 10 << TSizes{30, 30, 170};
  QTest::newRow("two gathered of four")
      << TSizes{100, 100, 100, 100} << 2 << 180 << TSizes{100, 50, 30, 220};
  // Inside the pane, short of its minimum: the pane keeps its minimum, the last pane absorbs.
  QTest::newRow("short of the minimum") << three << 1 << 110 << TSizes{100, 30, 170};
}

void TSplitterLayoutTest::backwardCascade() {
  QFETCH(TSizes, sizes);
  QFETCH(int, bar);
  QFETCH(int, x);
  int extent = 0;
  for (int s : sizes) extent += s;
  TSplitterLayout layout = MakeLayout(swVertical, QSize(extent, 100), sizes);
  Drag(layout, bar, QPoint(x, 50));
  QTEST(SizesOf(layout), "expected");
}

void TSplitterLayoutTest::lastPaneCannotBeSetAlone() {
  TSplitterLayout layout = MakeLayout(swVertical, QSize(300, 100), {100, 100, 100});
  layout.SetPaneSize(2, 10);
  QCOMPARE(SizesOf(layout), (TSizes{100, 100, 100}));
  layout.SetPaneSize(2, 250);
  QCOMPARE(SizesOf(layout), (TSizes{100, 100, 100}));

  TSplitterLayout single = MakeLayout(swVertical, QSize(300, 100), {120});
  single.SetPaneSize(0, 10);
  QCOMPARE(SizesOf(single), (TSizes{300}));
}

void TSplitterLayoutTest::orientationSwitchConvertsSizes() {
  TSplitterLayout layout = MakeLayout(swVertical, QSize(400, 200), {300, 100});
  layout.SetOrientation(swHorizontal);
  QCOMPARE(SizesOf(layout), (TSizes{150, 50}));
  layout.SetOrientation(swVertical);
  QCOMPARE(SizesOf(layout), (TSizes{300, 100}));

  // Rounding is half to even, the last pane absorbs what rounding leaves over.
  TSplitterLayout odd = MakeLayout(swVertical, QSize(400, 201), {101, 299});
  odd.SetOrientation(swHorizontal);  // 50.7525 -> 51, 150.2475 -> 150
  QCOMPARE(SizesOf(odd), (TSizes{51, 150}));
}

void TSplitterLayoutTest::adjustLastPaneNeverWraps() {
  TSplitterLayout layout = MakeLayout(swVertical, QSize(350, 100), {300, 100});
  layout.AdjustLastPane();
  QCOMPARE(SizesOf(layout), (TSizes{300, 50}));
  layout.SetSize(QSize(250, 100));
  layout.AdjustLastPane();
  QCOMPARE(SizesOf(layout), (TSizes{250, 0}));
  TSplitterLayout three = MakeLayout(swVertical, QSize(100, 100), {80, 80, 20});
  three.AdjustLastPane();
  QCOMPARE(SizesOf(three), (TSizes{80, 20, 0}));
}

void TSplitterLayoutTest::minSizeFallsBackToScrollBars() {
  TSplitterLayout layout = MakeLayout(swVertical, QSize(300, 100), {100, 200}, 3, 0);
  layout.SetScrollBarExtent(17);
  QCOMPARE(layout.MinSizeOf(0), 34);
  layout.SetMinPaneSize(1, 12);
  QCOMPARE(layout.MinSizeOf(1), 12);
}

void TSplitterLayoutTest::indexErrorsChangeNothing() {
  TSplitterLayout layout = MakeLayout(swVertical, QSize(300, 100), {100, 200});
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, layout.MovePane(0, 2));
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, layout.MovePane(-1, 0));
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, layout.SetPaneSize(2, 10));
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, layout.SumSizes(2));
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, layout.RemovePaneAt(5));
  QCOMPARE(SizesOf(layout), (TSizes{100, 200}));
  layout.MovePane(0, 1);
  QCOMPARE(SizesOf(layout), (TSizes{200, 100}));

  for (int i = layout.PaneCount(); i < TSplitterLayout::MaxPanes; ++i) layout.AppendPane(1, 0);
  QVERIFY_THROWS_EXCEPTION(std::length_error, layout.AppendPane(1, 0));
}

QTEST_APPLESS_MAIN(TSplitterLayoutTest)
#include "tst_splitterlayout.moc"
