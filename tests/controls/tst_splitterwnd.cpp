#include <QtTest>

#include <QApplication>
#include <QMouseEvent>

#include <memory>
#include <stdexcept>

#include "controls/SplitterWnd.h"

using TSizes = QList<int>;

namespace {

// The main window's arrangement: a splitter inside a host, loaded with two prepared panes
// (246 and 746, minimum 30, bars of 6) and then sized to `width` before it is first shown.
// The splitter sits 100 pixels into the host so that a bar dragged beyond its left edge still
// lands inside the host.
struct TFixture {
  QWidget Host;
  TSplitterWnd* Split = nullptr;
  TPane* TVPane = nullptr;
  TPane* VisPane = nullptr;
  int DrawCount = 0;
  int EraseCount = 0;
  int ResizeCount = 0;

  explicit TFixture(int width) {
    Host.resize(width + 200, 540);
    Split = new TSplitterWnd(&Host);
    Split->move(100, 20);
    Split->SetThickness(6);
    Split->BeginLoading();
    TVPane = new TPane;
    TVPane->SetPaneSize(246);
    TVPane->SetMinPaneSize(30);
    TVPane->SetSplitterWnd(Split);
    VisPane = new TPane;
    VisPane->SetPaneSize(746);
    VisPane->SetMinPaneSize(30);
    VisPane->SetSplitterWnd(Split);
    Split->resize(width, 500);  // dropped while loading
    Split->EndLoading();
    Split->OnDrawDragRect = [this](TSplitterWnd*, QRect&, bool&) { ++DrawCount; };
    Split->OnEraseDragRect = [this](TSplitterWnd*, QRect&, bool&) { ++EraseCount; };
    Split->OnPaneResize = [this](TSplitterWnd*) { ++ResizeCount; };
  }

  bool Show() {
    Host.show();
    return QTest::qWaitForWindowExposed(&Host);
  }

  TSizes Sizes() const { return {TVPane->PaneSize(), VisPane->PaneSize()}; }

  QList<QWidget*> Overlays() const {
    return Host.findChildren<QWidget*>(QStringLiteral("dragBar"));
  }

  void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(Split->mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(Split, &event);
  }
  void Press(QPoint pos) { Mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton); }
  void Move(QPoint pos) { Mouse(QEvent::MouseMove, pos, Qt::LeftButton); }
  void Release(QPoint pos) { Mouse(QEvent::MouseButtonRelease, pos, Qt::NoButton); }
};

}  // namespace

class TSplitterWndTest : public QObject {
  Q_OBJECT

 private slots:
  void loadingThenFirstResize_data();
  void loadingThenFirstResize();
  void dragBar_data();
  void dragBar();
  void releaseWithoutMoveMovesByPressOffset();
  void dragEventsCanTakeOverDrawing();
  void noDragWithoutBarOrSizing();
  void overlayInvertsAndErasesCleanly_data();
  void overlayInvertsAndErasesCleanly();
  void resizeKeepsRatioOrMovesLastPane();
  void orientationSwitch();
  void paneListOperations();
  void destroyingPanesAndSplitter();
};

void TSplitterWndTest::loadingThenFirstResize_data() {
  QTest::addColumn<int>("width");
  QTest::addColumn<TSizes>("sizes");
  QTest::addColumn<QRect>("tree");
  QTest::addColumn<QRect>("list");
  QTest::newRow("992") << 992 << TSizes{246, 746} << QRect(0, 0, 243, 500)
                       << QRect(249, 0, 743, 500);
  QTest::newRow("984") << 984 << TSizes{244, 740} << QRect(0, 0, 241, 500)
                       << QRect(247, 0, 737, 500);
}

void TSplitterWndTest::loadingThenFirstResize() {
  QFETCH(int, width);
  TFixture f(width);
  QCOMPARE(f.Sizes(), (TSizes{246, 746}));  // loading stores the sizes unchanged
  QCOMPARE(f.TVPane->PaneIndex(), 0);
  QCOMPARE(f.VisPane->PaneIndex(), 1);
  QVERIFY(f.Show());
  QTEST(f.Sizes(), "sizes");
  QTEST(f.TVPane->geometry(), "tree");
  QTEST(f.VisPane->geometry(), "list");
}

void TSplitterWndTest::dragBar_data() {
  QTest::addColumn<int>("x");
  QTest::addColumn<QRect>("shownBar");  // host coordinates, while dragging
  QTest::addColumn<TSizes>("sizes");
  QTest::addColumn<QRect>("tree");
  QTest::addColumn<QRect>("list");
  QTest::newRow("400") << 400 << QRect(497, 20, 7, 500) << TSizes{400, 584} << QRect(0, 0, 397, 500)
                       << QRect(403, 0, 581, 500);
  QTest::newRow("10") << 10 << QRect(107, 20, 7, 500) << TSizes{30, 954} << QRect(0, 0, 27, 500)
                      << QRect(33, 0, 951, 500);
  QTest::newRow("-50, beyond the left edge") << -50 << QRect(47, 20, 7, 500) << TSizes{30, 954}
                                             << QRect(0, 0, 27, 500) << QRect(33, 0, 951, 500);
  QTest::newRow("970") << 970 << QRect(1067, 20, 7, 500) << TSizes{954, 30} << QRect(0, 0, 951, 500)
                       << QRect(957, 0, 27, 500);
}

void TSplitterWndTest::dragBar() {
  QFETCH(int, x);
  TFixture f(984);
  QVERIFY(f.Show());
  f.Press(QPoint(244, 250));
  QCOMPARE(f.Split->DragBar(), 0);
  f.Move(QPoint(300, 250));
  f.Move(QPoint(x, 260));
  QCOMPARE(f.Sizes(), (TSizes{244, 740}));  // nothing moves before the release
  const QList<QWidget*> shown = f.Overlays();
  QCOMPARE(shown.size(), 1);
  QVERIFY(shown.first()->isVisible());
  QTEST(shown.first()->geometry(), "shownBar");

  f.Release(QPoint(x + 40, 260));  // the last move decides, not the release point
  QCOMPARE(f.Split->DragBar(), -1);
  QTEST(f.Sizes(), "sizes");
  QTEST(f.TVPane->geometry(), "tree");
  QTEST(f.VisPane->geometry(), "list");
  QCOMPARE(f.DrawCount, 3);
  QCOMPARE(f.EraseCount, 3);
  QCOMPARE(f.ResizeCount, 1);
  QVERIFY(f.Overlays().isEmpty());
  QVERIFY(f.Split->findChildren<QWidget*>(QStringLiteral("dragBar")).isEmpty());
}

void TSplitterWndTest::releaseWithoutMoveMovesByPressOffset() {
  TFixture f(984);
  QVERIFY(f.Show());
  f.Press(QPoint(246, 100));
  QCOMPARE(f.Overlays().size(), 1);
  f.Release(QPoint(246, 100));
  QCOMPARE(f.DrawCount, 1);
  QCOMPARE(f.EraseCount, 1);
  QVERIFY(f.Overlays().isEmpty());
  QCOMPARE(f.Sizes(), (TSizes{246, 738}));
  QCOMPARE(f.VisPane->geometry().left(), 249);
}

void TSplitterWndTest::dragEventsCanTakeOverDrawing() {
  TFixture f(984);
  QVERIFY(f.Show());
  QList<QRect> drawn;
  QList<QRect> erased;
  f.Split->OnDrawDragRect = [&](TSplitterWnd* sender, QRect& r, bool& ownerDraw) {
    QCOMPARE(sender, f.Split);
    drawn << r;
    ownerDraw = false;
  };
  f.Split->OnEraseDragRect = [&](TSplitterWnd*, QRect& r, bool& ownerDraw) {
    erased << r;
    ownerDraw = false;
  };
  f.Press(QPoint(244, 10));
  f.Move(QPoint(500, 10));
  QVERIFY(f.Overlays().isEmpty());
  f.Release(QPoint(500, 10));
  QCOMPARE(drawn, (QList<QRect>{{241, 0, 7, 500}, {497, 0, 7, 500}}));
  QCOMPARE(erased, drawn);
  QCOMPARE(f.Sizes(), (TSizes{500, 484}));

  // A handler may move the rectangle the splitter draws.
  f.Split->OnDrawDragRect = [](TSplitterWnd*, QRect& r, bool&) { r.setHeight(50); };
  f.Split->OnEraseDragRect = [](TSplitterWnd*, QRect& r, bool&) { r.setHeight(50); };
  f.Press(QPoint(500, 10));
  QCOMPARE(f.Overlays().size(), 1);
  QCOMPARE(f.Overlays().first()->geometry(), QRect(597, 20, 7, 50));
  f.Release(QPoint(500, 10));
  QVERIFY(f.Overlays().isEmpty());
}

void TSplitterWndTest::noDragWithoutBarOrSizing() {
  TFixture f(984);
  QVERIFY(f.Show());
  f.Press(QPoint(600, 10));  // not on a bar
  QCOMPARE(f.Split->DragBar(), -1);
  f.Move(QPoint(700, 10));
  f.Release(QPoint(700, 10));
  f.Split->SetAllowSizing(false);
  f.Press(QPoint(244, 10));
  QCOMPARE(f.Split->DragBar(), -1);
  f.Release(QPoint(300, 10));
  QCOMPARE(f.DrawCount + f.EraseCount + f.ResizeCount, 0);
  QCOMPARE(f.Sizes(), (TSizes{244, 740}));
}

void TSplitterWndTest::overlayInvertsAndErasesCleanly_data() {
  QTest::addColumn<int>("style");
  QTest::newRow("checkered") << int(sbCheckered);
  QTest::newRow("solid") << int(sbSolid);
}

void TSplitterWndTest::overlayInvertsAndErasesCleanly() {
  QFETCH(int, style);
  TFixture f(984);
  QPalette palette;
  palette.setColor(QPalette::Window, QColor(40, 80, 120));
  f.Split->setPalette(palette);
  palette.setColor(QPalette::Window, QColor(250, 240, 10));
  f.TVPane->setPalette(palette);
  f.VisPane->setPalette(palette);
  f.Split->SetBarStyle(TBarStyle(style));
  QVERIFY(f.Show());

  const QImage before = f.Host.grab().toImage();
  f.Press(QPoint(244, 250));
  const QImage during = f.Host.grab().toImage();
  const QRect bar(341, 20, 7, 500);  // host coordinates
  int inverted = 0;
  for (int y = bar.top(); y <= bar.bottom(); ++y) {
    for (int x = bar.left(); x <= bar.right(); ++x) {
      const QRgb was = before.pixel(x, y);
      const QRgb now = during.pixel(x, y);
      const bool flipped = now == qRgb(255 - qRed(was), 255 - qGreen(was), 255 - qBlue(was));
      QVERIFY2(flipped || now == was, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
      if (flipped) ++inverted;
      // A one-pixel checkerboard for the checkered bar, all pixels for the solid one.
      if (style == sbSolid) QVERIFY(flipped);
      if (style == sbCheckered && x > bar.left())
        QVERIFY(flipped != (during.pixel(x - 1, y) != before.pixel(x - 1, y)));
    }
  }
  QVERIFY(inverted > 0);
  // Outside the bar nothing changed.
  QCOMPARE(during.copy(0, 0, bar.left(), during.height()),
           before.copy(0, 0, bar.left(), before.height()));

  f.Move(QPoint(600, 250));
  const QImage moved = f.Host.grab().toImage();
  QCOMPARE(moved.copy(bar), before.copy(bar));
  f.Release(QPoint(600, 250));
}

void TSplitterWndTest::resizeKeepsRatioOrMovesLastPane() {
  TFixture f(992);
  QVERIFY(f.Show());
  f.Split->resize(496, 500);
  QCOMPARE(f.Sizes(), (TSizes{123, 373}));
  f.Split->SetProportionalResize(false);
  f.Split->resize(600, 500);
  QCOMPARE(f.Sizes(), (TSizes{123, 477}));
  QCOMPARE(f.VisPane->geometry(), QRect(126, 0, 474, 500));
  f.Split->resize(0, 500);  // ignored
  QCOMPARE(f.Sizes(), (TSizes{123, 477}));
}

void TSplitterWndTest::orientationSwitch() {
  TSplitterWnd split;
  QCOMPARE(split.size(), QSize(400, 200));
  QCOMPARE(split.cursor().shape(), Qt::SplitHCursor);
  auto* first = new TPane;
  first->SetSplitterWnd(&split);
  QCOMPARE(first->PaneSize(), 400);  // a lone pane fills the splitter
  auto* second = new TPane;
  second->SetSplitterWnd(&split);
  QCOMPARE(second->PaneSize(), 75);
  first->SetPaneSize(300);
  QCOMPARE(second->PaneSize(), 100);
  QCOMPARE(first->cursor().shape(), Qt::ArrowCursor);

  split.SetOrientation(swHorizontal);
  QCOMPARE(first->PaneSize(), 150);
  QCOMPARE(second->PaneSize(), 50);
  QCOMPARE(split.cursor().shape(), Qt::SplitVCursor);
  QCOMPARE(first->geometry(), QRect(0, 0, 400, 149));
  QCOMPARE(second->geometry(), QRect(0, 152, 400, 48));
}

void TSplitterWndTest::paneListOperations() {
  TFixture f(984);
  QVERIFY(f.Show());
  auto* third = new TPane;
  third->SetSplitterWnd(f.Split);
  QCOMPARE(f.Split->PaneCount(), 3);
  QCOMPARE(third->PaneIndex(), 2);
  QCOMPARE(third->PaneSize(), 75);
  QCOMPARE(f.Split->Pane(2), third);
  QCOMPARE(f.Split->SumSizes(2), 984);

  // The last pane's size cannot be set by itself.
  third->SetPaneSize(300);
  QCOMPARE(third->PaneSize(), 75);

  third->SetPaneIndex(0);
  QCOMPARE(f.Split->Pane(0), third);
  QCOMPARE(f.TVPane->PaneIndex(), 1);
  QCOMPARE(f.VisPane->PaneIndex(), 2);
  QCOMPARE(third->geometry().left(), 0);

  QVERIFY_THROWS_EXCEPTION(std::out_of_range, f.Split->MovePane(0, 3));
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, third->SetPaneIndex(-1));
  QVERIFY_THROWS_EXCEPTION(std::out_of_range, f.Split->Pane(3));
  QCOMPARE(f.Split->Pane(0), third);

  QWidget elsewhere;
  f.Split->SetProportionalResize(false);
  f.Split->RemovePane(third, &elsewhere);
  QCOMPARE(third->parentWidget(), &elsewhere);
  QCOMPARE(third->SplitterWnd(), nullptr);
  QCOMPARE(third->PaneIndex(), -1);
  QVERIFY(third->isHidden());
  QCOMPARE(f.TVPane->PaneIndex(), 0);
  QCOMPARE(f.TVPane->geometry().left(), 0);  // the gap it left is closed
  QCOMPARE(f.VisPane->geometry().right(), 983);
  third->SetPaneIndex(5);  // detached: discarded
  QCOMPARE(third->PaneIndex(), -1);
}

void TSplitterWndTest::destroyingPanesAndSplitter() {
  auto f = std::make_unique<TFixture>(984);
  QVERIFY(f->Show());
  f->Press(QPoint(244, 10));
  f->Move(QPoint(400, 10));
  delete f->TVPane;  // during a drag: the drag ends and its bar goes
  QVERIFY(f->Overlays().isEmpty());
  QCOMPARE(f->DrawCount, f->EraseCount);
  QCOMPARE(f->Split->PaneCount(), 1);
  QCOMPARE(f->VisPane->PaneIndex(), 0);
  QCOMPARE(f->VisPane->geometry(), QRect(0, 0, 984, 500));
  f->Release(QPoint(400, 10));
  QCOMPARE(f->ResizeCount, 0);

  // Moving a pane to another splitter detaches it from the first.
  TSplitterWnd other;
  f->VisPane->SetSplitterWnd(&other);
  QCOMPARE(f->Split->PaneCount(), 0);
  QCOMPARE(other.Pane(0), f->VisPane);
  QCOMPARE(f->VisPane->parentWidget(), &other);

  auto* kept = new TPane;
  kept->SetSplitterWnd(f->Split);
  delete f->Split;  // deletes its panes, which must not reach back into it
  f->VisPane->SetSplitterWnd(nullptr);
  QCOMPARE(other.PaneCount(), 0);
  delete f->VisPane;
}

QTEST_MAIN(TSplitterWndTest)
#include "tst_splitterwnd.moc"
