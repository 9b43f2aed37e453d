#include "explorer/FileListModel.h"
#include "explorer/FileListSort.h"
#include "explorer/FileNodeData.h"
#include "explorer/ImageList.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

struct TRow {
  const char* Name;
  qint64 Size = 0;
  qint64 Created = 0;
};

std::unique_ptr<TFileNodeData> MakeRecord(const QByteArray& name, qint64 size = 0,
                                          qint64 created = 0) {
  auto record = std::make_unique<TFileNodeData>();
  record->Name = name;
  record->Ext = ExtOfName(name);
  record->Path = "/data/" + name;
  record->Size = size;
  record->Created = created;
  record->Modified = created;
  record->Accessed = created;
  return record;
}

std::vector<std::unique_ptr<TFileNodeData>> MakeBatch(const QList<TRow>& rows) {
  std::vector<std::unique_ptr<TFileNodeData>> batch;
  for (const TRow& row : rows) batch.push_back(MakeRecord(row.Name, row.Size, row.Created));
  return batch;
}

QStringList NamesInOrder(const TFileListModel& model) {
  QStringList names;
  for (int row = 0; row < model.rowCount(); ++row)
    names << QString::fromUtf8(model.Record(row)->Name);
  return names;
}

}  // namespace

class TFileListModelTest : public QObject {
  Q_OBJECT

 private slots:
  void extOfName_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("ext");
    QTest::newRow("no dot") << QByteArray("README") << QByteArray();
    QTest::newRow("only a leading dot") << QByteArray(".bashrc") << QByteArray(".bashrc");
    QTest::newRow("several dots") << QByteArray("a.tar.gz") << QByteArray(".gz");
    QTest::newRow("case kept") << QByteArray("IMG.JPG") << QByteArray(".JPG");
    QTest::newRow("trailing dot") << QByteArray("name.") << QByteArray(".");
    QTest::newRow("dot in a folder only") << QByteArray("dir.d/file") << QByteArray();
  }
  void extOfName() {
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, ext);
    QCOMPARE(ExtOfName(name), ext);
  }

  void cellTexts() {
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    auto batch = MakeBatch({{"README", 4294967296, kUnknownTime}, {"b.txt", 1048576, 0}});
    batch[1]->Hash = "D41D8CD98F00B204E9800998ECF8427E";
    batch[1]->Name = "caf\xc3\xa9.txt";
    model.AppendRows(std::move(batch));

    auto text = [&model](int row, int column) {
      return model.data(model.index(row, column)).toString();
    };
    QCOMPARE(text(0, fcName), QString("README"));
    QCOMPARE(text(0, fcType), QString());
    QCOMPARE(text(0, fcSize), QString("4294967296"));
    QCOMPARE(text(0, fcCreated), QString());  // unknown time
    QCOMPARE(text(0, fcPath), QString("/data/README"));
    QCOMPARE(text(0, fcThumbnail), QString());
    QCOMPARE(text(1, fcName), QString::fromUtf8("caf\xc3\xa9.txt"));
    QCOMPARE(text(1, fcType), QString(".txt"));
    QCOMPARE(text(1, fcSize), QString("1048576"));
    QVERIFY(!text(1, fcModified).isEmpty());
    QCOMPARE(text(1, fcHash), QString("D41D8CD98F00B204E9800998ECF8427E"));

    const QStringList captions = {"Name",     "Type", "Size", "Created",  "Modified",
                                  "Accessed", "Hash", "Path", "Thumbnail"};
    QCOMPARE(model.columnCount(), int(captions.size()));
    for (int column = 0; column < model.columnCount(); ++column)
      QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), captions[column]);
  }

  void iconOnlyInNameColumn() {
    TImageList images;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    images.Add(QIcon(red));
    QCOMPARE(images.Count(), 1);
    QVERIFY(images.Icon(1).isNull());
    QVERIFY(images.Icon(-1).isNull());

    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    model.AppendRows(MakeBatch({{"a.png"}, {"b.png"}}));
    model.Record(1)->ImageIndex = 7;  // not in the list: no icon, no crash
    QVERIFY(!model.data(model.index(0, fcName), Qt::DecorationRole).isValid());
    model.SetImageList(&images);
    QVERIFY(model.data(model.index(0, fcName), Qt::DecorationRole).value<QIcon>().cacheKey() ==
            images.Icon(0).cacheKey());
    QVERIFY(!model.data(model.index(0, fcType), Qt::DecorationRole).isValid());
    QVERIFY(!model.data(model.index(1, fcName), Qt::DecorationRole).isValid());
  }

  void sortOrder_data() {
    QTest::addColumn<QList<TRow>>("rows");
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("expected");
    const QList<TRow> fruit = {{"cherry"}, {"Banana"}, {"apple"}};
    QTest::newRow("name ignores case")
        << fruit << int(fcName) << Qt::AscendingOrder << QStringList{"apple", "Banana", "cherry"};
    QTest::newRow("name descending")
        << fruit << int(fcName) << Qt::DescendingOrder << QStringList{"cherry", "Banana", "apple"};
    QTest::newRow("no extension first by type")
        << QList<TRow>{{"b.txt"}, {"README"}, {"a.c"}, {"Makefile"}} << int(fcType)
        << Qt::AscendingOrder << QStringList{"README", "Makefile", "a.c", "b.txt"};
    QTest::newRow("sizes past 32 bits")
        << QList<TRow>{{"big", 4294967296}, {"small", 4294967295}, {"zero", 0}} << int(fcSize)
        << Qt::AscendingOrder << QStringList{"zero", "small", "big"};
    QTest::newRow("sizes descending")
        << QList<TRow>{{"small", 4294967295}, {"big", 4294967296}} << int(fcSize)
        << Qt::DescendingOrder << QStringList{"big", "small"};
    QTest::newRow("unknown time first, then before 1970")
        << QList<TRow>{{"now", 0, 1700000000000}, {"old", 0, -1000}, {"unknown", 0, kUnknownTime}}
        << int(fcCreated) << Qt::AscendingOrder << QStringList{"unknown", "old", "now"};
    QTest::newRow("equal sizes keep order ascending")
        << QList<TRow>{{"x", 5}, {"y", 1}, {"z", 5}, {"w", 5}} << int(fcSize) << Qt::AscendingOrder
        << QStringList{"y", "x", "z", "w"};
    QTest::newRow("equal sizes keep order descending")
        << QList<TRow>{{"x", 5}, {"y", 1}, {"z", 5}, {"w", 5}} << int(fcSize) << Qt::DescendingOrder
        << QStringList{"x", "z", "w", "y"};
    QTest::newRow("names equal but for case keep order descending")
        << QList<TRow>{{"A"}, {"b"}, {"a"}} << int(fcName) << Qt::DescendingOrder
        << QStringList{"b", "A", "a"};
    QTest::newRow("thumbnail column keeps order")
        << fruit << int(fcThumbnail) << Qt::DescendingOrder
        << QStringList{"cherry", "Banana", "apple"};
  }
  void sortOrder() {
    QFETCH(QList<TRow>, rows);
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, expected);
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    model.AppendRows(MakeBatch(rows));
    model.SortBy(column, order);
    QCOMPARE(NamesInOrder(model), expected);
    QCOMPARE(model.SortColumn(), column);
    QCOMPARE(model.SortDirection(), order);
    for (int row = 0; row < model.rowCount(); ++row) QCOMPARE(model.RowOf(model.Record(row)), row);
  }

  // The C locale has no collation: accented names must still sort among their letters, and
  // the text keys must ignore case there too.
  void cLocaleCollation() {
    auto batch = MakeBatch({{"zed"}, {"\xc3\x89mile"}, {"Apple"}, {"apple"}, {"emile"}});
    const std::vector<int> order =
        FileListSortOrder(batch, fcName, Qt::AscendingOrder, QLocale::c());
    QCOMPARE(order, (std::vector<int>{2, 3, 4, 1, 0}));
  }

  // Enough rows for the key work to be split over threads: the order must be the one a plain
  // comparison sort gives, with ties in their old order.
  void largeSortMatchesComparisonSort() {
    const char* const prefixes[] = {"File", "file", "\xc3\xa9lan", "Zeta", "alpha"};
    std::vector<std::unique_ptr<TFileNodeData>> batch;
    for (int i = 0; i < 30000; ++i)
      batch.push_back(MakeRecord(prefixes[i % 5] + QByteArray::number((i * 7919) % 3001)));
    const std::vector<int> order = FileListSortOrder(batch, fcName, Qt::DescendingOrder);

    QCollator collator(CollationLocale(QLocale()));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QString> folded;
    for (const auto& record : batch)
      folded.push_back(QString::fromUtf8(record->Name).toCaseFolded());
    std::vector<int> expected(batch.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
      return collator.compare(folded[std::size_t(b)], folded[std::size_t(a)]) < 0;
    });
    QVERIFY(order == expected);
  }

  void sortColumnBackground() {
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    model.AppendRows(MakeBatch({{"a", 2}, {"b", 1}}));
    QCOMPARE(model.SortColumn(), -1);
    QVERIFY(!model.data(model.index(0, fcSize), Qt::BackgroundRole).isValid());
    model.SortBy(fcSize, Qt::AscendingOrder);
    QCOMPARE(
        model.data(model.index(0, fcSize), Qt::BackgroundRole).value<QColor>().rgb() & 0xFFFFFF,
        QRgb(0xF7F7F7));
    QVERIFY(!model.data(model.index(0, fcName), Qt::BackgroundRole).isValid());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SortBy(fcName, Qt::AscendingOrder);
    QVERIFY(!model.data(model.index(0, fcSize), Qt::BackgroundRole).isValid());
    QVERIFY(model.data(model.index(0, fcName), Qt::BackgroundRole).isValid());
    const bool sizeRepainted = std::any_of(changed.begin(), changed.end(), [](const auto& args) {
      return args[0].template value<QModelIndex>().column() == fcSize;
    });
    QVERIFY(sizeRepainted);
  }

  void persistentIndexesFollowRecords() {
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    model.AppendRows(MakeBatch({{"c", 3}, {"a", 1}, {"d", 4}, {"b", 2}}));
    TFileNodeData* c = model.Record(0);
    TFileNodeData* b = model.Record(3);
    const QPersistentModelIndex cIndex = model.index(0, fcPath);
    const QPersistentModelIndex bIndex = model.index(3, fcName);
    model.SortBy(fcSize, Qt::AscendingOrder);
    QCOMPARE(model.Record(cIndex.row()), c);
    QCOMPARE(cIndex.column(), int(fcPath));
    QCOMPARE(model.Record(bIndex.row()), b);
    QCOMPARE(NamesInOrder(model), (QStringList{"a", "b", "c", "d"}));
  }

  void appendIsOneInsertionWithoutReset() {
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    model.AppendRows(MakeBatch({{"a"}}));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    auto batch = MakeBatch({{"b"}, {"c"}});
    batch.insert(batch.begin() + 1, nullptr);  // holes in a batch are dropped
    model.AppendRows(std::move(batch));
    model.AppendRows({});
    QCOMPARE(reset.count(), 0);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted[0][1].toInt(), 1);
    QCOMPARE(inserted[0][2].toInt(), 2);
    QCOMPARE(NamesInOrder(model), (QStringList{"a", "b", "c"}));
  }

  void removeAndClearFreeRecords() {
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    model.AppendRows(MakeBatch({{"a"}, {"b"}, {"c"}}));
    // A thumbnail belongs to its record and goes with it (the leak checker watches this).
    model.Record(0)->Thumbnail.store(new QImage(8, 8, QImage::Format_RGB888));
    TFileNodeData* c = model.Record(2);
    model.RemoveRow(0);
    QCOMPARE(NamesInOrder(model), (QStringList{"b", "c"}));
    QCOMPARE(model.RowOf(c), 1);
    model.RemoveRow(-1);
    model.RemoveRow(2);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.Record(2), nullptr);
    QCOMPARE(model.Record(-1), nullptr);

    TFileListModel other;
    other.AppendRows(MakeBatch({{"x"}, {"y"}}));
    QCOMPARE(model.RowOf(other.Record(1)), -1);  // a record of another list
    QCOMPARE(model.RowOf(nullptr), -1);

    model.Record(1)->Thumbnail.store(new QImage(8, 8, QImage::Format_RGB888));
    model.Clear();
    QCOMPARE(model.rowCount(), 0);
    model.SortBy(fcName, Qt::AscendingOrder);  // sorting nothing is fine
  }

  void recordChangedSignalsTheRow() {
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    model.AppendRows(MakeBatch({{"a"}, {"b"}}));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.RecordChanged(1);
    model.RecordChanged(0, fcHash);
    model.RecordChanged(5);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed[0][0].value<QModelIndex>(), model.index(1, 0));
    QCOMPARE(changed[0][1].value<QModelIndex>(), model.index(1, fcColumnCount - 1));
    QCOMPARE(changed[1][0].value<QModelIndex>(), model.index(0, fcHash));
    QCOMPARE(changed[1][1].value<QModelIndex>(), model.index(0, fcHash));
  }
};

Q_DECLARE_METATYPE(TRow)

QTEST_MAIN(TFileListModelTest)
#include "tst_filelistmodel.moc"
