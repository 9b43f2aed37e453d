// The timeline driven the way a person drives it: clicks, Ctrl-clicks, band drags, pans, tile
// drags and wheel notches on a shown panel, checked against the list's selection and the view.

#include "FakeRows.h"
#include "graph/VeskoraXGraphUtils.h"

#include <QApplication>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

namespace {

constexpr std::int64_t kBase = 1420070400000;  // 2015-01-01 00:00 UTC

using TSelection = std::unordered_set<const TFileNodeData*>;

// Five tiles at world x 0, 150, 300, 450 (lanes 0 to 3, on screen) and 30000, one pixel per
// millisecond, the view at the world's left end.
struct TFixture {
  QWidget Panel;
  TFakeRows Rows;
  TMetroVORNItemTimeline View{&Panel, &Rows};
  std::vector<TFileNodeData*> Records;

  TFixture() {
    Panel.resize(743, 442);
    Rows.View = &View;
    for (const std::int64_t ms : {0, 150, 300, 450, 30000}) Records.push_back(Rows.Add(kBase + ms));
    Panel.show();
    if (!QTest::qWaitForWindowExposed(&Panel)) qFatal("panel not exposed");
    View.Rebuild();
    View.SetScale(180);
    View.ZoomToFit(false, true);
    Panel.repaint();
  }
  TSelection Only(std::initializer_list<int> indexes) const {
    TSelection selection;
    for (const int i : indexes) selection.insert(Records[static_cast<std::size_t>(i)]);
    return selection;
  }
  void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers shift = Qt::NoModifier) {
    QTest::mousePress(&Panel, Qt::LeftButton, shift, from);
    QMouseEvent move(QEvent::MouseMove, to, Panel.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     shift);
    QApplication::sendEvent(&Panel, &move);
    Panel.repaint();
    QTest::mouseRelease(&Panel, Qt::LeftButton, shift, to);
  }
  void Wheel(int delta, Qt::KeyboardModifiers shift = Qt::NoModifier) {
    const QPointF at(300, 300);
    QWheelEvent wheel(at, Panel.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, shift,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Panel, &wheel);
  }
};

}  // namespace

class TTimelineInputTest : public QObject {
  Q_OBJECT

 private slots:
  void clicksChangeTheListSelection() {
    TFixture f;
    QCOMPARE(f.View.ViewLeft(), 0);
    QTest::mouseClick(&f.Panel, Qt::LeftButton, Qt::NoModifier, QPoint(10, 30));
    QCOMPARE(f.Rows.Selected, f.Only({0}));
    QTest::mouseClick(&f.Panel, Qt::LeftButton, Qt::ControlModifier, QPoint(160, 70));
    QCOMPARE(f.Rows.Selected, f.Only({0, 1}));
    QTest::mouseClick(&f.Panel, Qt::LeftButton, Qt::NoModifier, QPoint(160, 70));  // selected
    QCOMPARE(f.Rows.Selected, f.Only({0, 1}));
    QTest::mouseClick(&f.Panel, Qt::LeftButton, Qt::NoModifier, QPoint(310, 110));
    QCOMPARE(f.Rows.Selected, f.Only({2}));
    QTest::mouseClick(&f.Panel, Qt::LeftButton, Qt::NoModifier, QPoint(600, 420));
    QVERIFY(f.Rows.Selected.empty());
  }

  void bandSelection() {
    TFixture f;
    f.Rows.Selected = f.Only({4});
    f.View.ToggleSelectMode();
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    f.Drag({140, 300}, {460, 300});
    QCOMPARE(f.Rows.Selected, f.Only({1, 2, 3}));  // tiles whose left edge is in the band
    QCOMPARE(f.View.SelectState(), selNone);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    f.View.ToggleSelectMode();
    f.Drag({460, 300}, {140, 300});  // towards the left: nothing is inside
    QVERIFY(f.Rows.Selected.empty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void panAndTileDrag() {
    TFixture f;
    f.Drag({600, 420}, {500, 420});
    QCOMPARE(f.View.ViewLeft(), 100);
    QCOMPARE(f.View.ViewRight(), 843);
    f.View.MomentumTick();  // let any coasting from the release end
    f.View.ZoomToFit(false, true);
    f.Panel.repaint();

    const int x = f.View.Items()[1]->X;
    f.Drag({160, 70}, {160, 15});  // tile 1 follows the pointer up, keeps its time
    QCOMPARE(f.View.Items()[1]->Y, 15);
    QCOMPARE(f.View.Items()[1]->X, x);
    QCOMPARE(f.View.ViewLeft(), 0);
    QCOMPARE(f.Rows.Selected, f.Only({1}));
  }

  void wheelMovesTheTrackBars() {
    TFixture f;
    QSlider scale(Qt::Horizontal);
    QSlider itemSize(Qt::Horizontal);
    TTimelineTrackBars bars(&f.View, &scale, &itemSize);
    connect(&scale, &QSlider::valueChanged, &bars, [&bars] { bars.ScaleChange(); });
    connect(&itemSize, &QSlider::valueChanged, &bars, [&bars] { bars.ItemSizeChange(); });
    QCOMPARE(f.View.WorldWidth(), 90000);  // the bars' start positions do not act by themselves

    f.Wheel(120);
    QCOMPARE(scale.value(), 310);
    QCOMPARE(f.View.WorldWidth(), 155000);
    f.Wheel(-120);
    QCOMPARE(f.View.WorldWidth(), 150000);

    f.Rows.Selected = f.Only({1, 2});
    f.View.ZoomToFit(true, false);
    QVERIFY(f.View.WorldWidth() != 150000);
    f.Wheel(120);  // from the bar's own position, not from the fitted width
    QCOMPARE(f.View.WorldWidth(), 155000);

    f.View.Items()[0]->Y = 5;  // a dragged tile goes back to its lane with a size change
    f.Wheel(120, Qt::ControlModifier);
    QCOMPARE(itemSize.value(), 11);
    QCOMPARE(f.View.ItemHeight(), 26);
    QCOMPARE(f.View.Items()[0]->Y, 26);

    itemSize.setValue(100);
    QSignalSpy changes(&itemSize, &QSlider::valueChanged);
    f.Wheel(120, Qt::ControlModifier);
    QCOMPARE(itemSize.value(), 100);
    QCOMPARE(changes.count(), 0);

    // Over a bar a notch moves it as over the panel, not by the bar's own wheel step.
    QWheelEvent overBar(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&scale, &overBar);
    QCOMPARE(scale.value(), 320);

    f.Panel.hide();  // the list is showing: the wheel is not the timeline's
    QVERIFY(!bars.MouseWheel(Qt::NoModifier, 120));
    QCOMPARE(scale.value(), 320);
  }
};

QTEST_MAIN(TTimelineInputTest)
#include "tst_timelineinput.moc"
