#include "containers/StringIndex.h"

#include <QtTest>

#include <cstdint>
#include <limits>
#include <string>

using namespace std::string_literals;

class TestStringIndex : public QObject {
  Q_OBJECT

 private slots:
  void addNextNumbersKeysAndSharesCounterWithAdd();
  void addReturnsOrdinalNotValue();
  void failedAddLeavesCounter();
  void intValuesRoundTrip_data();
  void intValuesRoundTrip();
  void keysAreBytesAsGiven();
  void pointerIndexFindsAndRemoves();
  void pointerIndexMisuseLeavesCount();
};

void TestStringIndex::addNextNumbersKeysAndSharesCounterWithAdd() {
  TStringIntIndex index;
  QCOMPARE(index.AddNext("zero"), 0);
  QCOMPARE(index.AddNext("one"), 1);
  QCOMPARE(index.Add("explicit", 50), 2);
  QCOMPARE(index.AddNext("three"), 3);  // the Add took number 2
  QCOMPARE(index.ValueOf("zero"), 0);
  QCOMPARE(index.ValueOf("one"), 1);
  QCOMPARE(index.ValueOf("explicit"), 50);
  QCOMPARE(index.ValueOf("three"), 3);
  QCOMPARE(index.ValueOf("absent"), -1);
  QCOMPARE(index.ValueOf(""), -1);
}

void TestStringIndex::addReturnsOrdinalNotValue() {
  TStringIntIndex index;
  QCOMPARE(index.Add(".txt", 7), 0);
  QCOMPARE(index.ValueOf(".txt"), 7);
}

void TestStringIndex::failedAddLeavesCounter() {
  TStringIntIndex index;
  QCOMPARE(index.Add("a", 10), 0);
  try {
    index.Add("a", 11);
    QFAIL("a duplicate key was accepted");
  } catch (const EHashList& e) {
    QCOMPARE(QByteArray(e.what()), QByteArray("Duplicate hash list entry: a"));
  }
  QVERIFY_THROWS_EXCEPTION(EHashList, index.AddNext("a"));
  QCOMPARE(index.ValueOf("a"), 10);
  // The next successful addition gets the ordinal the failed ones would have had.
  QCOMPARE(index.Add("b", 20), 1);
  QCOMPARE(index.AddNext("c"), 2);
}

void TestStringIndex::intValuesRoundTrip_data() {
  QTest::addColumn<int>("value");
  QTest::newRow("zero") << 0;
  QTest::newRow("minus one, same as absent") << -1;
  QTest::newRow("negative") << -123456;
  QTest::newRow("smallest") << std::numeric_limits<std::int32_t>::min();
  QTest::newRow("largest") << std::numeric_limits<std::int32_t>::max();
}

void TestStringIndex::intValuesRoundTrip() {
  QFETCH(int, value);
  TStringIntIndex index;
  index.Add("key", value);
  QCOMPARE(index.ValueOf("key"), value);
}

void TestStringIndex::keysAreBytesAsGiven() {
  TStringIntIndex index;
  const std::string keys[] = {"/usr/"s, "/USR/"s, "/usr"s, ""s, "\0\0"s, "\xc3\xa9t\xe9"s};
  for (const std::string& key : keys) index.AddNext(key);
  for (int i = 0; i < int(std::size(keys)); ++i) QCOMPARE(index.ValueOf(keys[i]), i);
  QCOMPARE(index.ValueOf("\0"s), -1);
}

void TestStringIndex::pointerIndexFindsAndRemoves() {
  int first = 0;
  int second = 0;
  TStringIndex index;
  index.Add("D41D8CD98F00B204E9800998ECF8427E", &first);
  index.Add("d41d8cd98f00b204e9800998ecf8427e", &second);
  QCOMPARE(index.Count(), 2);

  void* found = nullptr;
  QVERIFY(index.Find("D41D8CD98F00B204E9800998ECF8427E", found));
  QCOMPARE(found, &first);
  void* untouched = &second;
  QVERIFY(!index.Find("absent", untouched));
  QCOMPARE(untouched, &second);

  // A key moves from one pointer to the next: remove, then add again.
  QCOMPARE(index.Remove("D41D8CD98F00B204E9800998ECF8427E"), &first);
  QCOMPARE(index.Count(), 1);
  QVERIFY(!index.Find("D41D8CD98F00B204E9800998ECF8427E", found));
  index.Add("D41D8CD98F00B204E9800998ECF8427E", &second);
  QVERIFY(index.Find("D41D8CD98F00B204E9800998ECF8427E", found));
  QCOMPARE(found, &second);
  QCOMPARE(index.Count(), 2);
}

void TestStringIndex::pointerIndexMisuseLeavesCount() {
  int value = 0;
  TStringIndex index;
  index.Add("key", &value);
  try {
    index.Add("key", nullptr);
    QFAIL("a duplicate key was accepted");
  } catch (const EHashList& e) {
    QCOMPARE(QByteArray(e.what()), QByteArray("Duplicate hash list entry: key"));
  }
  QCOMPARE(index.Count(), 1);
  try {
    index.Remove("other");
    QFAIL("an absent key was removed");
  } catch (const EHashList& e) {
    QCOMPARE(QByteArray(e.what()), QByteArray("Tried to remove invalid node: other"));
  }
  QCOMPARE(index.Count(), 1);
  void* found = nullptr;
  QVERIFY(index.Find("key", found));
  QCOMPARE(found, &value);
}

QTEST_GUILESS_MAIN(TestStringIndex)
#include "tst_stringindex.moc"
