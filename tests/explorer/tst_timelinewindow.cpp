// The timeline page of the real window, offscreen, over a real scanned folder: items for the
// listed rows, one selection shared with the list (clicks, Ctrl-clicks, bands, list changes),
// the wheel, rows that leave the list, a rescan, and the commands between list and timeline.

#include <QApplication>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QSlider>
#include <QTreeView>
#include <QWheelEvent>
#include <QtTest>

#include <memory>
#include <set>

#include "common/TestDir.h"
#include "controls/SplitterWnd.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/UniversalExplorerUnit.h"
#include "graph/VeskoraXGraphUtils.h"
#include "platform/IconTheme.h"

namespace {

constexpr std::int64_t kBaseSec = 1614592800;  // 2021-03-01 10:00 UTC, a Monday

using TRecords = std::set<const TFileNodeData*>;

}  // namespace

class TTimelineWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpIconTheme(); }
  void init();
  void cleanup();

  void scanFillsTheTimeline();
  void clicksChangeTheListSelection();
  void bandDragSelectsByDirection_data();
  void bandDragSelectsByDirection();
  void listSelectionMarksTheTiles();
  void wheelMovesTheTrackBars();
  void removedRowLosesItsItem();
  void rescanRebuilds();
  void showSelectedMovesBetweenPages();

 private:
  void Scan();
  void ShowTimeline();
  // The records of the tiles in time order, as the files were made.
  std::vector<TFileNodeData*> Tiles() const;
  const TNWNode* ItemOf(const TFileNodeData* record) const;
  QPoint Inside(const TFileNodeData* record) const;
  TRecords ListSelection() const;
  void SendMove(QPoint to, Qt::MouseButtons buttons);

  std::unique_ptr<TUniversalExplorerForm> FWindow;
  std::unique_ptr<TTestDir> FDir;
};

void TTimelineWindowTest::init() {
  FDir = std::make_unique<TTestDir>();
  QVERIFY(FDir->IsValid());
  // Four files ten minutes apart, named against their time order so the list's order is not
  // the timeline's.
  const QByteArray names[] = {"d.txt", "c.txt", "b.txt", "a.txt"};
  for (int i = 0; i < 4; ++i) {
    QVERIFY(FDir->MakeFile(names[i], "x"));
    QVERIFY(FDir->SetTimes(names[i], kBaseSec + i * 600));
  }
  FWindow = std::make_unique<TUniversalExplorerForm>();
  FWindow->show();
  QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
  Scan();
}

void TTimelineWindowTest::cleanup() {
  FWindow.reset();
  FDir.reset();
}

void TTimelineWindowTest::Scan() {
  const QModelIndex folder = FWindow->FileTreeModel->index(QFile::decodeName(FDir->Path().chopped(1)));
  QVERIFY(folder.isValid());
  FWindow->FileTreeView->setCurrentIndex(folder);
  FWindow->FileTreeViewClick();
}

void TTimelineWindowTest::ShowTimeline() {
  FWindow->MainControlBar->SetCurrentIndex(1);
  QTRY_VERIFY(FWindow->VisViewPanel->isVisible());
  QTRY_COMPARE(FWindow->VisViewPanel->size(), FWindow->VisPane->size());
  // The whole time range on the panel, its start at the left edge.
  FWindow->timelineScaleTrackBar->setValue(1);
  FWindow->FTimeline->ZoomToFit(false, true);
  FWindow->VisViewPanel->repaint();
}

std::vector<TFileNodeData*> TTimelineWindowTest::Tiles() const {
  std::vector<TFileNodeData*> tiles;
  for (const TNWNode* item : FWindow->FTimeline->Items()) tiles.push_back(item->TreeNode);
  return tiles;
}

const TNWNode* TTimelineWindowTest::ItemOf(const TFileNodeData* record) const {
  for (const TNWNode* item : FWindow->FTimeline->Items())
    if (item->TreeNode == record) return item;
  return nullptr;
}

QPoint TTimelineWindowTest::Inside(const TFileNodeData* record) const {
  const TNWNode* item = ItemOf(record);
  if (!item) return {-1, -1};
  return {item->ScreenRect.Left + 6, (item->ScreenRect.Top + item->ScreenRect.Bottom) / 2};
}

TRecords TTimelineWindowTest::ListSelection() const {
  const std::vector<TFileNodeData*> selected = FWindow->FileListView->SelectedRecords();
  return {selected.begin(), selected.end()};
}

void TTimelineWindowTest::SendMove(QPoint to, Qt::MouseButtons buttons) {
  QWidget* panel = FWindow->VisViewPanel;
  QMouseEvent move(QEvent::MouseMove, to, panel->mapToGlobal(to), Qt::NoButton, buttons,
                   Qt::NoModifier);
  QApplication::sendEvent(panel, &move);
  panel->repaint();
}

void TTimelineWindowTest::scanFillsTheTimeline() {
  const TFileListModel* model = FWindow->FileListView->Model();
  QCOMPARE(model->rowCount(), 4);
  ShowTimeline();
  const std::vector<TFileNodeData*> tiles = Tiles();
  TRecords rows;
  for (int row = 0; row < model->rowCount(); ++row) rows.insert(model->Record(row));
  QCOMPARE(TRecords(tiles.begin(), tiles.end()), rows);
  // In time order: the file made first is the leftmost tile.
  QCOMPARE(tiles.front()->Name().toByteArray(), QByteArray("d.txt"));
  for (const TNWNode* item : FWindow->FTimeline->Items()) QVERIFY(item->OnScreen);

  const QImage picture = FWindow->VisViewPanel->grab().toImage();
  QCOMPARE(picture.pixelColor(picture.width() - 2, 2), QColor(0, 24, 63));
  const QPoint corner = Inside(tiles[0]) + QPoint(-5, -8);
  QVERIFY(picture.pixelColor(corner) != QColor(0, 24, 63));
}

void TTimelineWindowTest::clicksChangeTheListSelection() {
  ShowTimeline();
  const std::vector<TFileNodeData*> tiles = Tiles();
  QWidget* panel = FWindow->VisViewPanel;
  QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, Inside(tiles[1]));
  QCOMPARE(ListSelection(), TRecords({tiles[1]}));
  QTest::mouseClick(panel, Qt::LeftButton, Qt::ControlModifier, Inside(tiles[3]));
  QCOMPARE(ListSelection(), TRecords({tiles[1], tiles[3]}));
  QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, Inside(tiles[0]));
  QCOMPARE(ListSelection(), TRecords({tiles[0]}));
  // Empty space under the tiles' lanes clears the list's selection.
  QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(panel->width() - 3, 3));
  QCOMPARE(ListSelection(), TRecords());
}

void TTimelineWindowTest::bandDragSelectsByDirection_data() {
  QTest::addColumn<bool>("rightwards");
  QTest::newRow("to the right selects tiles 1 and 2") << true;
  QTest::newRow("to the left selects nothing") << false;
}

void TTimelineWindowTest::bandDragSelectsByDirection() {
  QFETCH(bool, rightwards);
  ShowTimeline();
  const std::vector<TFileNodeData*> tiles = Tiles();
  FWindow->FileListView->selectionModel()->select(
      FWindow->FileListView->Model()->index(FWindow->FileListView->Model()->RowOf(tiles[3]), 0),
      QItemSelectionModel::Select | QItemSelectionModel::Rows);

  const int y = FWindow->VisViewPanel->height() / 2;
  const QPoint before1(ItemOf(tiles[1])->ScreenRect.Left - 3, y);
  const QPoint after2(ItemOf(tiles[2])->ScreenRect.Left + 3, y);
  const QPoint from = rightwards ? before1 : after2;
  const QPoint to = rightwards ? after2 : before1;

  FWindow->visSelectStartMnuClick();
  QCOMPARE(FWindow->FTimeline->SelectState(), selArmed);
  QTest::mousePress(FWindow->VisViewPanel, Qt::LeftButton, Qt::NoModifier, from);
  SendMove(to, Qt::LeftButton);
  QCOMPARE(ListSelection(), rightwards ? TRecords({tiles[1], tiles[2]}) : TRecords());
  QTest::mouseRelease(FWindow->VisViewPanel, Qt::LeftButton, Qt::NoModifier, to);
  QCOMPARE(FWindow->FTimeline->SelectState(), selNone);
  QCOMPARE(ListSelection(), rightwards ? TRecords({tiles[1], tiles[2]}) : TRecords());
}

void TTimelineWindowTest::listSelectionMarksTheTiles() {
  ShowTimeline();
  const std::vector<TFileNodeData*> tiles = Tiles();
  const TFileListModel* model = FWindow->FileListView->Model();
  FWindow->FileListView->selectionModel()->select(
      model->index(model->RowOf(tiles[2]), 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const QImage picture = FWindow->VisViewPanel->grab().toImage();
  const QColor blue(0, 0, 255);
  QCOMPARE(picture.pixelColor(Inside(tiles[2]) + QPoint(-5, -8)), blue);
  QVERIFY(picture.pixelColor(Inside(tiles[1]) + QPoint(-5, -8)) != blue);
}

void TTimelineWindowTest::wheelMovesTheTrackBars() {
  ShowTimeline();
  QSlider* scale = FWindow->timelineScaleTrackBar;
  QSlider* itemSize = FWindow->timelineSizeTrackbar;
  const auto wheel = [](QWidget* over, int delta, Qt::KeyboardModifiers shift) {
    const QPointF at(2, 2);
    QWheelEvent event(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, shift,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &event);
  };
  wheel(FWindow->VisViewPanel, 120, Qt::NoModifier);
  QCOMPARE(scale->value(), 11);
  QCOMPARE(FWindow->FTimeline->WorldWidth(), std::max(5500, FWindow->VisViewPanel->width()));
  // A wheel that no control took reaches the window, which zooms the timeline. (Only the
  // system's own wheel events travel up to the window, so this one is sent to it.)
  wheel(FWindow.get(), -120, Qt::NoModifier);
  QCOMPARE(scale->value(), 1);
  wheel(FWindow->VisViewPanel, 120, Qt::ControlModifier);
  QCOMPARE(itemSize->value(), 11);
  QCOMPARE(FWindow->FTimeline->ItemHeight(), 26);

  // With the list showing, the wheel is not the timeline's.
  FWindow->MainControlBar->SetCurrentIndex(0);
  wheel(FWindow.get(), 120, Qt::NoModifier);
  QCOMPARE(scale->value(), 1);
}

void TTimelineWindowTest::removedRowLosesItsItem() {
  ShowTimeline();
  const std::vector<TFileNodeData*> tiles = Tiles();
  TFileListModel* model = FWindow->FileListView->Model();
  const QPoint spot = Inside(tiles[1]);
  FWindow->FileListView->selectionModel()->select(
      model->index(model->RowOf(tiles[1]), 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  model->RemoveRow(model->RowOf(tiles[1]));  // tiles[1] is freed now

  QCOMPARE(FWindow->FTimeline->Items().size(), std::size_t(3));
  QVERIFY(!ItemOf(tiles[1]));
  FWindow->VisViewPanel->repaint();
  QVERIFY(FWindow->FTimeline->HitTest(spot.x(), spot.y()) == nullptr);
  QTest::mouseClick(FWindow->VisViewPanel, Qt::LeftButton, Qt::NoModifier, Inside(tiles[2]));
  QCOMPARE(ListSelection(), TRecords({tiles[2]}));
}

void TTimelineWindowTest::rescanRebuilds() {
  ShowTimeline();
  QVERIFY(FDir->MakeFile("e.txt", "x"));
  QVERIFY(FDir->SetTimes("e.txt", kBaseSec + 4 * 600));
  Scan();
  const TFileListModel* model = FWindow->FileListView->Model();
  QCOMPARE(model->rowCount(), 5);
  const std::vector<TFileNodeData*> tiles = Tiles();
  TRecords rows;
  for (int row = 0; row < model->rowCount(); ++row) rows.insert(model->Record(row));
  QCOMPARE(TRecords(tiles.begin(), tiles.end()), rows);
  QCOMPARE(tiles.back()->Name().toByteArray(), QByteArray("e.txt"));
  FWindow->VisViewPanel->repaint();
}

void TTimelineWindowTest::showSelectedMovesBetweenPages() {
  ShowTimeline();
  const std::vector<TFileNodeData*> tiles = Tiles();
  const TFileListModel* model = FWindow->FileListView->Model();
  FWindow->MainControlBar->SetCurrentIndex(0);

  // Nothing selected: only the page changes.
  FWindow->FTimeline->MouseDown(Qt::RightButton, Qt::NoModifier, 0, 0);  // stop any coasting
  const int viewLeft = FWindow->FTimeline->ViewLeft();
  FWindow->fileShowSelInTimelineViewMnuClick();
  QCOMPARE(FWindow->MainControlBar->CurrentIndex(), 1);
  QVERIFY(FWindow->VisViewPanel->isVisible());
  QCOMPARE(FWindow->FTimeline->ViewLeft(), viewLeft);

  FWindow->visShowSelInListViewMnuClick();
  QCOMPARE(FWindow->MainControlBar->CurrentIndex(), 0);
  QVERIFY(FWindow->FileListView->isVisible());

  FWindow->FileListView->selectionModel()->select(
      model->index(model->RowOf(tiles[2]), 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  FWindow->fileShowSelInTimelineViewMnuClick();
  QCOMPARE(FWindow->MainControlBar->CurrentIndex(), 1);
  QCOMPARE(FWindow->FTimeline->ViewLeft(), ItemOf(tiles[2])->X);
  QCOMPARE(ListSelection(), TRecords({tiles[2]}));
}

QTEST_MAIN(TTimelineWindowTest)
#include "tst_timelinewindow.moc"
