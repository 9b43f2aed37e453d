#include "explorer/Duplicates.h"

#include "common/TestDir.h"

#include <QtTest>

#include <algorithm>
#include <map>

namespace {

using TRows = std::vector<std::int32_t>;

// A row as the pass sees it, read from a real file.
TDuplicateRow RowOf(const QByteArray& path) { return {GetFileMD5(path), FileIdentityOf(path)}; }

// Made-up rows for the cases where only digests and identities matter: a digest letter
// ('-' for none) and an inode number (0 for unknown).
TDuplicateRow Row(char digest, std::uint64_t inode) {
  TDuplicateRow row;
  if (digest != '-') row.Digest = TDigest{static_cast<std::uint8_t>(digest)};
  if (inode != 0) row.Identity = TFileIdentity{1, inode};
  return row;
}

// The rule checked from scratch: in every digest group the last row is kept, a row is
// selected exactly when it is not the kept row's file (rows without identity are their own).
TRows Reference(const std::vector<TDuplicateRow>& rows) {
  std::map<TDigest, std::size_t> kept;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].Digest) kept[*rows[i].Digest] = i;
  TRows selected;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].Digest) continue;
    const TDuplicateRow& keeper = rows[kept[*rows[i].Digest]];
    const bool sameFile =
        i == kept[*rows[i].Digest] || (rows[i].Identity && rows[i].Identity == keeper.Identity);
    if (!sameFile) selected.push_back(static_cast<std::int32_t>(i));
  }
  return selected;
}

}  // namespace

class TDuplicatesTest : public QObject {
  Q_OBJECT

 private slots:
  // Real files in list order; the expected selection by position in that order.
  void realFiles_data() {
    QTest::addColumn<QList<QByteArray>>("order");
    QTest::addColumn<TRows>("expected");
    // a, b, c identical; d differs from them by one byte; e unreadable.
    QTest::newRow("three copies") << QList<QByteArray>{"a", "b", "c"} << TRows{0, 1};
    QTest::newRow("three copies reversed") << QList<QByteArray>{"c", "b", "a"} << TRows{0, 1};
    QTest::newRow("one byte apart") << QList<QByteArray>{"a", "d"} << TRows{};
    QTest::newRow("empty files") << QList<QByteArray>{"empty1", "empty2", "empty3"} << TRows{0, 1};
    QTest::newRow("unreadable never")
        << QList<QByteArray>{"pipe", "a", "pipe", "missing"} << TRows{};
    // One file listed twice is never selected against itself.
    QTest::newRow("hard link, kept last") << QList<QByteArray>{"a", "a-hard"} << TRows{};
    QTest::newRow("hard link, kept first") << QList<QByteArray>{"a-hard", "a"} << TRows{};
    QTest::newRow("link then target") << QList<QByteArray>{"a-soft", "a"} << TRows{};
    QTest::newRow("target then link") << QList<QByteArray>{"a", "a-soft"} << TRows{};
    // b is a real copy: it is selected, the kept file's other names are not.
    QTest::newRow("copy between names") << QList<QByteArray>{"a", "b", "a-hard"} << TRows{1};
    QTest::newRow("copy after names") << QList<QByteArray>{"a-soft", "a", "b"} << TRows{0, 1};
    QTest::newRow("names around a copy")
        << QList<QByteArray>{"a-hard", "b", "a-soft", "c"} << TRows{0, 1, 2};
    QTest::newRow("copy, names, copy")
        << QList<QByteArray>{"b", "a", "a-soft", "b-hard"} << TRows{1, 2};
  }
  void realFiles() {
    QFETCH(QList<QByteArray>, order);
    QFETCH(TRows, expected);
    TTestDir dir;
    for (const char* name : {"a", "b", "c"}) QVERIFY(dir.MakeFile(name, "same content"));
    QVERIFY(dir.MakeFile("d", "same contenT"));
    for (const char* name : {"empty1", "empty2", "empty3"}) QVERIFY(dir.MakeFile(name));
    QVERIFY(dir.MakeFifo("pipe"));
    QVERIFY(::link(dir.Abs("a").constData(), dir.Abs("a-hard").constData()) == 0);
    QVERIFY(::link(dir.Abs("b").constData(), dir.Abs("b-hard").constData()) == 0);
    QVERIFY(dir.MakeSymlink("a", "a-soft"));

    std::vector<TDuplicateRow> rows;
    for (const QByteArray& name : order) rows.push_back(RowOf(dir.Abs(name)));
    QCOMPARE(SelectDuplicates(rows), expected);
    QCOMPARE(Reference(rows), expected);
  }

  // However the pass ends: after any row, the changes handed over so far, applied in order,
  // give the rule's selection for the rows fed so far. Batches of several rows, and rows that
  // take an earlier selection back, included.
  void everyPrefixHoldsTheRule_data() {
    QTest::addColumn<QByteArray>("digests");
    QTest::addColumn<QList<int>>("inodes");
    QTest::addColumn<int>("batch");
    QTest::newRow("plain groups") << QByteArray("aabab-cac")
                                  << QList<int>{1, 2, 3, 4, 5, 0, 6, 7, 8} << 1;
    QTest::newRow("names of one file alternate")
        << QByteArray("aaaaaa") << QList<int>{1, 2, 1, 2, 1, 3} << 1;
    QTest::newRow("alternating, batched")
        << QByteArray("aaaaaaa") << QList<int>{1, 2, 1, 2, 2, 1, 1} << 3;
    QTest::newRow("unknown identities") << QByteArray("aaaa") << QList<int>{0, 1, 0, 1} << 2;
  }
  void everyPrefixHoldsTheRule() {
    QFETCH(QByteArray, digests);
    QFETCH(QList<int>, inodes);
    QFETCH(int, batch);
    TDuplicateSelector selector;
    std::vector<TDuplicateRow> fed;
    std::vector<bool> applied(static_cast<std::size_t>(digests.size()), false);
    for (qsizetype i = 0; i < digests.size(); ++i) {
      fed.push_back(Row(digests[i], static_cast<std::uint64_t>(inodes[i])));
      QCOMPARE(selector.AddRow(fed.back().Digest, fed.back().Identity), std::int32_t(i));
      if ((i + 1) % batch != 0 && i + 1 != digests.size()) continue;
      const TDuplicateSelector::TChanges changes = selector.TakeChanges();
      for (const std::int32_t row : changes.Selected) {
        QVERIFY(!applied[row]);  // only net changes are handed over
        applied[row] = true;
      }
      for (const std::int32_t row : changes.Deselected) {
        QVERIFY(applied[row]);
        applied[row] = false;
      }
      TRows now;
      for (std::size_t row = 0; row < applied.size(); ++row)
        if (applied[row]) now.push_back(static_cast<std::int32_t>(row));
      QCOMPARE(now, Reference(fed));
    }
    QVERIFY(selector.TakeChanges().IsEmpty());
  }
};

QTEST_GUILESS_MAIN(TDuplicatesTest)
#include "tst_duplicates.moc"
