#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

std::vector<std::unique_ptr<TFileNodeData>> MakeBatch(
    const QList<QPair<QByteArray, qint64>>& rows) {
  std::vector<std::unique_ptr<TFileNodeData>> batch;
  for (const auto& [name, size] : rows) {
    auto record = MakeFileRecord("/data/" + name);
    record->Size = size;
    batch.push_back(std::move(record));
  }
  return batch;
}

QStringList Names(const std::vector<TFileNodeData*>& records) {
  QStringList names;
  for (const TFileNodeData* record : records) names << QString::fromUtf8(record->Name());
  return names;
}

void SelectRows(TFileListView& view, std::initializer_list<int> rows) {
  for (int row : rows)
    view.selectionModel()->select(view.Model()->index(row, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class TFileListViewTest : public QObject {
  Q_OBJECT

 private:
  // Four files: cherry 30, Banana 10, apple 20, date 40.
  void Fill(TFileListView& view) {
    view.Model()->AppendRows(
        MakeBatch({{"cherry.txt", 30}, {"Banana.txt", 10}, {"apple.txt", 20}, {"date", 40}}));
  }

 private slots:
  void layout() {
    TFileListView view;
    Fill(view);
    view.resize(900, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.objectName(), QString("FileListView"));
    QCOMPARE(view.header()->height(), 22);
    QCOMPARE(view.visualRect(view.Model()->index(1, fcName)).height(), 19);
    const int widths[] = {230, 60, 80, 100, 100, 100, 140, 160};
    for (int column = 0; column < fcThumbnail; ++column) {
      QCOMPARE(view.columnWidth(column), widths[column]);
      QVERIFY(!view.isColumnHidden(column));
    }
    QVERIFY(view.isColumnHidden(fcThumbnail));
    QVERIFY(!view.rootIsDecorated());
    QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);

    view.header()->resizeSection(fcName, 50);
    QCOMPARE(view.columnWidth(fcName), 200);
    view.header()->resizeSection(fcType, 10);
    QCOMPARE(view.columnWidth(fcType), 40);

    view.SetRowHeight(40);
    QTRY_COMPARE(view.visualRect(view.Model()->index(1, fcName)).height(), 40);
  }

  void headerClicks() {
    TFileListView view;
    Fill(view);
    TFileListModel* model = view.Model();
    auto names = [model] {
      QStringList result;
      for (int row = 0; row < model->rowCount(); ++row)
        result << QString::fromUtf8(model->Record(row)->Name());
      return result;
    };
    view.resize(900, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // A real click on the Size header, then the rest through HeaderClick.
    QHeaderView* header = view.header();
    const QPoint sizeHeader(header->sectionViewportPosition(fcSize) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(names(), (QStringList{"Banana.txt", "apple.txt", "cherry.txt", "date"}));
    QCOMPARE(header->sortIndicatorSection(), int(fcSize));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(model->data(model->index(0, fcSize), Qt::BackgroundRole).isValid());

    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(names(), (QStringList{"date", "cherry.txt", "apple.txt", "Banana.txt"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    view.HeaderClick(fcName, Qt::RightButton);  // only the left button sorts
    QCOMPARE(model->SortColumn(), int(fcSize));
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, sizeHeader);
    QCOMPARE(model->SortDirection(), Qt::DescendingOrder);

    view.HeaderClick(fcName, Qt::LeftButton);
    QCOMPARE(names(), (QStringList{"apple.txt", "Banana.txt", "cherry.txt", "date"}));
    QCOMPARE(model->SortDirection(), Qt::AscendingOrder);
    QCOMPARE(header->sortIndicatorSection(), int(fcName));
    QVERIFY(!model->data(model->index(0, fcSize), Qt::BackgroundRole).isValid());
    QVERIFY(model->data(model->index(0, fcName), Qt::BackgroundRole).isValid());

    view.HeaderClick(fcType, Qt::LeftButton);  // "date" has no extension
    QCOMPARE(names().first(), QString("date"));
  }

  void selectionFollowsRecords() {
    TFileListView view;
    Fill(view);
    SelectRows(view, {0, 3});  // cherry, date
    view.selectionModel()->setCurrentIndex(view.Model()->index(3, fcSize),
                                           QItemSelectionModel::NoUpdate);
    view.HeaderClick(fcSize, Qt::LeftButton);
    QCOMPARE(Names(view.SelectedRecords()), (QStringList{"cherry.txt", "date"}));
    view.HeaderClick(fcSize, Qt::LeftButton);
    QCOMPARE(Names(view.SelectedRecords()), (QStringList{"date", "cherry.txt"}));
    QCOMPARE(view.SelectedCount(), 2);
    QCOMPARE(view.Model()->Record(view.currentIndex().row())->Name(), "date");
  }

  void appendKeepsSelection() {
    TFileListView view;
    Fill(view);
    SelectRows(view, {1});
    QSignalSpy reset(view.Model(), &QAbstractItemModel::modelReset);
    view.Model()->AppendRows(MakeBatch({{"egg", 1}, {"fig", 2}}));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(view.Model()->rowCount(), 6);
    QCOMPARE(Names(view.SelectedRecords()), QStringList{"Banana.txt"});
    QCOMPARE(view.FirstSelected()->Name(), "Banana.txt");
  }

  void selectionReading() {
    TFileListView view;
    Fill(view);
    view.Model()->AppendRows(MakeBatch({{"egg", 1}, {"fig", 2}}));
    QCOMPARE(view.SelectedCount(), 0);
    QCOMPARE(view.FirstSelected(), nullptr);
    QVERIFY(view.SelectedRecords().empty());
    // Overlapping ranges count each row once, in list order.
    TFileListModel* model = view.Model();
    QItemSelection selection(model->index(4, 0), model->index(5, fcColumnCount - 1));
    selection.select(model->index(1, 0), model->index(4, fcColumnCount - 1));
    view.selectionModel()->select(selection, QItemSelectionModel::Select);
    QCOMPARE(view.SelectedCount(), 5);
    QCOMPARE(Names(view.SelectedRecords()),
             (QStringList{"Banana.txt", "apple.txt", "date", "egg", "fig"}));
    view.selectAll();
    QCOMPARE(view.SelectedCount(), 6);
    QCOMPARE(view.FirstSelected(), model->Record(0));
  }

  void doubleClick() {
    TFileListView view;
    Fill(view);
    QList<QByteArray> opened;
    view.OnOpenFile = [&opened](const QByteArray& path) { opened << path; };
    view.resize(900, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QPoint empty(50, view.viewport()->height() - 5);  // below the last row
    QVERIFY(!view.indexAt(empty).isValid());
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, empty);
    QVERIFY(opened.isEmpty());

    const QPoint apple = view.visualRect(view.Model()->index(2, fcSize)).center();
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, apple);
    QCOMPARE(opened, QList<QByteArray>{"/data/apple.txt"});

    // With several rows selected, the first in list order is opened.
    opened.clear();
    view.clearSelection();
    SelectRows(view, {3, 1});
    QMouseEvent dbl(QEvent::MouseButtonDblClick, empty, view.viewport()->mapToGlobal(empty),
                    Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &dbl);
    QCOMPARE(opened, QList<QByteArray>{"/data/Banana.txt"});
  }

  void thumbnailCellHook() {
    TFileListView view;
    Fill(view);
    QList<TFileNodeData*> painted;
    QList<QRect> rects;
    view.OnBeforeCellPaint = [&](QPainter* painter, TFileNodeData* record, const QRect& rect) {
      QVERIFY(painter);
      painted << record;
      rects << rect;
    };
    view.resize(900, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.grab();
    QVERIFY(painted.isEmpty());  // hidden column: never painted

    view.setColumnHidden(fcThumbnail, false);
    view.header()->moveSection(view.header()->visualIndex(fcThumbnail), 0);
    view.grab();
    QVERIFY(painted.contains(view.Model()->Record(0)));
    QVERIFY(painted.contains(view.Model()->Record(3)));
    for (const QRect& rect : rects) {
      QCOMPARE(rect.left(), 0);
      QCOMPARE(rect.width(), 60);
    }
  }

  // Batches appended while painting is suspended are all laid out once it resumes.
  void repaintSuspension() {
    TFileListView view;
    view.resize(900, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetRepaintSuspended(true);
    QVERIFY(view.RepaintSuspended());
    QVERIFY(!view.updatesEnabled());
    Fill(view);
    QApplication::processEvents();
    view.Model()->AppendRows(MakeBatch({{"egg", 1}, {"fig", 2}}));
    QApplication::processEvents();
    view.SetRepaintSuspended(false);
    QVERIFY(view.updatesEnabled());
    const QModelIndex last = view.Model()->index(5, fcName);
    QVERIFY(view.visualRect(last).isValid());
    QCOMPARE(view.indexAt(view.visualRect(last).center()), last);
  }
};

QTEST_MAIN(TFileListViewTest)
#include "tst_filelistview.moc"
