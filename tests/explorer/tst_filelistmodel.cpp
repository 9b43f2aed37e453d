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
#include <array>
#include <numeric>
#include <stdexcept>

namespace {

struct TRow {
  const char* Name;
  qint64 Size = 0;
  qint64 Created = 0;
};

std::unique_ptr<TFileNodeData> MakeRecord(const QByteArray& name, qint64 size = 0,
                                          qint64 created = 0) {
  auto record = MakeFileRecord("/data/" + name);
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
    names << QString::fromUtf8(model.Record(row)->Name());
  return names;
}

}  // namespace

// Declared before the first data table uses it: a later declaration is an error in optimised
// builds.
Q_DECLARE_METATYPE(TRow)

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
    QCOMPARE(ExtOfName(name).toByteArray(), ext);
  }

  // Name and extension are found once, from the path; the views must match the rule above.
  void recordPathOffsets_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("ext");
    QTest::newRow("plain") << QByteArray("/data/a.tar.gz") << QByteArray("a.tar.gz")
                           << QByteArray(".gz");
    QTest::newRow("dot only in the folder")
        << QByteArray("/dir.d/README") << QByteArray("README") << QByteArray();
    QTest::newRow("hidden file") << QByteArray("/home/.bashrc") << QByteArray(".bashrc")
                                 << QByteArray(".bashrc");
    QTest::newRow("not UTF-8") << QByteArray("/x/\xff\xfe.TXT") << QByteArray("\xff\xfe.TXT")
                               << QByteArray(".TXT");
    QTest::newRow("no folder") << QByteArray("name.") << QByteArray("name.") << QByteArray(".");
  }
  void recordPathOffsets() {
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, ext);
    const auto record = MakeFileRecord(path);
    QCOMPARE(record->Path, path);
    QCOMPARE(record->Name().toByteArray(), name);
    QCOMPARE(record->Ext().toByteArray(), ext);
  }

  void recordRefusesPathsPastItsOffsets() {
    TFileNodeData record;
    record.SetPath("/a/b.c", 3);
    const QByteArray longest(65535, 'x');
    record.SetPath(longest, 65535);  // the whole path as folder: an empty name still fits
    QCOMPARE(record.Name().size(), 0);
    QCOMPARE(record.Ext().size(), 0);
    QVERIFY_THROWS_EXCEPTION(std::length_error, record.SetPath(longest + 'x', 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, record.SetPath("/a", 3));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, record.SetPath("/a", -1));
    QCOMPARE(record.Path, longest);  // a refused path leaves the record as it was
  }

  void recordDigestText() {
    TFileNodeData record;
    QCOMPARE(record.Hash(), QByteArray());
    QVERIFY(record.SetHashText("00ff10Ab9c8d7e6f5a4b3c2d1e0f9A8B"));
    QCOMPARE(record.Hash(), QByteArray("00FF10AB9C8D7E6F5A4B3C2D1E0F9A8B"));
    QCOMPARE(record.Digest[0], 0x00);
    QCOMPARE(record.Digest[1], 0xFF);
    const QByteArray kept = record.Hash();
    for (const char* bad :
         {"", "00FF", "00FF10AB9C8D7E6F5A4B3C2D1E0F9A8B0", "G0FF10AB9C8D7E6F5A4B3C2D1E0F9A8B",
          "00FF10AB9C8D7E6F5A4B3C2D1E0F9A8 "}) {
      QVERIFY2(!record.SetHashText(bad), bad);
      QCOMPARE(record.Hash(), kept);
    }
    record.ClearHash();
    QVERIFY(!record.HasDigest);
    QCOMPARE(record.Hash(), QByteArray());
  }

  // The Hash column sorts by the digest bytes; that must be the order its text would have
  // under the collation, with rows without a digest first and ties in their old order.
  void hashSortMatchesTextCollation() {
    std::vector<std::unique_ptr<TFileNodeData>> batch;
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int i = 0; i < 300; ++i) {
      auto record = MakeFileRecord("/d/f" + QByteArray::number(i));
      if (i % 7 != 0) {
        std::array<std::uint8_t, 16> digest{};
        // Few distinct leading bytes, so that long common prefixes and equal digests occur.
        for (std::uint8_t& byte : digest) byte = std::uint8_t(next() >> 24);
        digest[0] = std::uint8_t(next() % 3 * 0x5A);
        if (i % 11 == 0) digest = batch[std::size_t(i - 1)]->Digest;
        record->SetDigest(digest);
      }
      batch.push_back(std::move(record));
    }
    QCollator collator(CollationLocale(QLocale()));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
      std::vector<int> expected(batch.size());
      std::iota(expected.begin(), expected.end(), 0);
      std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        if (order == Qt::DescendingOrder) std::swap(a, b);
        return collator.compare(QString::fromLatin1(batch[std::size_t(a)]->Hash()),
                                QString::fromLatin1(batch[std::size_t(b)]->Hash())) < 0;
      });
      QVERIFY(FileListSortOrder(batch, fcHash, order) == expected);
    }
  }

  void cellTexts() {
    TFileListModel model;
    QAbstractItemModelTester tester(&model);
    auto batch = MakeBatch({{"README", 4294967296, kUnknownTime}, {"caf\xc3\xa9.txt", 1048576, 0}});
    QVERIFY(batch[1]->SetHashText("d41d8cd98f00b204e9800998ecf8427E"));
    model.AppendRows(std::move(batch));

    auto text = [&model](int row, int column) {
      return model.data(model.index(row, column)).toString();
    };
    QCOMPARE(text(0, fcName), QString("README"));
    QCOMPARE(text(0, fcType), QString());
    QCOMPARE(text(0, fcSize), QString("4294967296"));
    QCOMPARE(text(0, fcCreated), QString());  // unknown time
    QCOMPARE(text(0, fcHash), QString());
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
      folded.push_back(QString::fromUtf8(record->Name()).toCaseFolded());
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

QTEST_MAIN(TFileListModelTest)
#include "tst_filelistmodel.moc"
