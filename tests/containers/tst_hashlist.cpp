#include "containers/HashList.h"

#include <QThread>
#include <QtTest>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// Puts every key in the bucket of its first byte, so a test chooses buckets by name.
class TFirstByteTraits : public TCaseSensitiveTraits {
 public:
  std::uint32_t Hash(std::string_view key) const override {
    return key.empty() ? 0 : static_cast<unsigned char>(key[0]);
  }
};

// Records the order in which nodes are released.
class TRecordingList : public THashList {
 public:
  using THashList::THashList;
  std::vector<std::string> Disposed;

 protected:
  void DisposeNode(THashNode* node) override {
    Disposed.push_back(node->Key);
    THashList::DisposeNode(node);
  }
};

// "key(left,right)", or "key" for a leaf; only for the small trees of these tests.
std::string Shape(const THashNode* node) {
  if (node == nullptr) return {};
  if (node->Left == nullptr && node->Right == nullptr) return node->Key;
  return node->Key + "(" + Shape(node->Left) + "," + Shape(node->Right) + ")";
}

// Checks every invariant of the list; returns a description of the first violation, or an
// empty string. Iterative, so that it also runs on degenerate trees.
std::string Violation(const THashList& list, const THashListTraits& traits) {
  struct TPending {
    const THashNode* Node;
    const std::string* Low;   // every key here must compare greater; null for no bound
    const std::string* High;  // every key here must compare less; null for no bound
  };
  std::uint32_t nodes = 0;
  for (std::uint32_t i = 0; i < list.Size(); ++i) {
    std::vector<TPending> pending;
    if (list.Bucket(i) != nullptr) pending.push_back({list.Bucket(i), nullptr, nullptr});
    while (!pending.empty()) {
      const TPending p = pending.back();
      pending.pop_back();
      ++nodes;
      const std::string& key = p.Node->Key;
      if (traits.Hash(key) % list.Size() != i) return "key in wrong bucket: " + key;
      if (p.Low != nullptr && traits.Compare(key, *p.Low) <= 0) return "order broken at " + key;
      if (p.High != nullptr && traits.Compare(key, *p.High) >= 0) return "order broken at " + key;
      if (p.Node->Left != nullptr) pending.push_back({p.Node->Left, p.Low, &key});
      if (p.Node->Right != nullptr) pending.push_back({p.Node->Right, &key, p.High});
    }
  }
  if (nodes != list.Count())
    return "count " + std::to_string(list.Count()) + " for nodes " + std::to_string(nodes);
  return {};
}

// A key that sorts in the order of `i`, differing within its last bytes.
std::string OrderedKey(std::uint32_t i) {
  return {static_cast<char>(i >> 24), static_cast<char>(i >> 16), static_cast<char>(i >> 8),
          static_cast<char>(i)};
}

QByteArray Printable(const std::string& s) { return QByteArray::fromStdString(s).toHex(); }

}  // namespace

class TestHashList : public QObject {
  Q_OBJECT

 private slots:
  void hash_data();
  void hash();
  void compare_data();
  void compare();
  void storesAnyByteKey();
  void duplicateAddRaisesAndKeepsEntry();
  void removeAbsentRaises();
  void removeThenAddAgain();
  void findAbsentLeavesValue();
  void deletionsAlternateSuccessorAndPredecessor();
  void clearFreesChildrenBeforeParents();
  void setSizeZeroRefusedWhileEntriesExist();
  void setSizeKeepsEntries_data();
  void setSizeKeepsEntries();
  void setSizeReinsertsInReverseCollectionOrder();
  void constructorNeedsTraits();
  void withoutBucketsNothingIsStored();
  void deepChainsNeedNoStack();
  void matchesReferenceMapUnderRandomOperations();
};

void TestHashList::hash_data() {
  QTest::addColumn<QByteArray>("key");
  QTest::addColumn<uint>("expected");
  QTest::newRow("empty") << QByteArray() << 0x0u;
  QTest::newRow("one letter") << QByteArray("a") << 0x61u;
  QTest::newRow("three letters") << QByteArray("abc") << 0x6783u;
  QTest::newRow("seven letters, before the fold") << QByteArray("abcdefg") << 0x789ABA7u;
  QTest::newRow("fold at seventh and eighth bytes") << QByteArray("abcdefgh") << 0x89ABAA8u;
  QTest::newRow("upper case differs") << QByteArray("ABC") << 0x4563u;
  QTest::newRow("byte 0x80 unsigned") << QByteArray("\x80") << 0x80u;
  QTest::newRow("bytes 0xff unsigned") << QByteArray("\xff\xff") << 0x10EFu;
  QTest::newRow("high bytes, folded")
      << QByteArray("\xff\xfe\xfd\xfc\xfb\xfa\xf9\xf8\xf7") << 0xDCCA897u;
  QTest::newRow("leading zero byte") << QByteArray("\0a", 2) << 0x61u;
}

void TestHashList::hash() {
  QFETCH(QByteArray, key);
  QFETCH(uint, expected);
  const TCaseSensitiveTraits traits;
  QCOMPARE(traits.Hash(std::string_view(key.constData(), key.size())), expected);
}

void TestHashList::compare_data() {
  QTest::addColumn<QByteArray>("a");
  QTest::addColumn<QByteArray>("b");
  QTest::addColumn<int>("expected");
  QTest::newRow("equal") << QByteArray("abc") << QByteArray("abc") << 0;
  QTest::newRow("both empty") << QByteArray() << QByteArray() << 0;
  QTest::newRow("prefix first") << QByteArray("ab") << QByteArray("abc") << -1;
  QTest::newRow("longer after") << QByteArray("abcde") << QByteArray("ab") << 3;
  QTest::newRow("empty before all") << QByteArray() << QByteArray("\0", 1) << -1;
  QTest::newRow("first difference decides") << QByteArray("ab") << QByteArray("b") << -1;
  QTest::newRow("case sensitive") << QByteArray("a") << QByteArray("A") << 0x20;
  QTest::newRow("bytes unsigned") << QByteArray("\x80") << QByteArray("\x7f") << 1;
  QTest::newRow("0xff after letters") << QByteArray("\xff") << QByteArray("z") << 0xff - 'z';
  QTest::newRow("zero byte is a character") << QByteArray("a\0b", 3) << QByteArray("a\0c", 3) << -1;
}

void TestHashList::compare() {
  QFETCH(QByteArray, a);
  QFETCH(QByteArray, b);
  QFETCH(int, expected);
  const TCaseSensitiveTraits traits;
  QCOMPARE(traits.Compare(std::string_view(a.constData(), a.size()),
                          std::string_view(b.constData(), b.size())),
           expected);
}

void TestHashList::storesAnyByteKey() {
  TCaseSensitiveTraits traits;
  THashList list(&traits, 16);
  const std::vector<std::string> keys = {
      ""s, "\0\0\0\0\0\0\0\0"s, "\0"s, "ab", "abc", "ABC", "abC", "\x80", "\xff\xfe"};
  for (std::size_t i = 0; i < keys.size(); ++i) list.Add(keys[i], 100 + i);
  QCOMPARE(list.Count(), std::uint32_t(keys.size()));
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::uintptr_t value = 0;
    QVERIFY2(list.Find(keys[i], value), Printable(keys[i]).constData());
    QCOMPARE(value, std::uintptr_t(100 + i));
  }
  // The empty key is the first entry of bucket 0.
  QVERIFY(list.Bucket(0) != nullptr);
  QCOMPARE(list.Bucket(0)->Key, ""s);
  QCOMPARE(Violation(list, traits), ""s);
}

void TestHashList::duplicateAddRaisesAndKeepsEntry() {
  TCaseSensitiveTraits traits;
  THashList list(&traits, 16);
  list.Add("abc", 1);
  list.Add("abd", 2);
  try {
    list.Add("abc", 99);
    QFAIL("a duplicate key was accepted");
  } catch (const EHashList& e) {
    QCOMPARE(std::string(e.what()), "Duplicate hash list entry: abc"s);
  }
  QCOMPARE(list.Count(), 2u);
  std::uintptr_t value = 0;
  QVERIFY(list.Find("abc", value));
  QCOMPARE(value, std::uintptr_t(1));
}

void TestHashList::removeAbsentRaises() {
  TCaseSensitiveTraits traits;
  THashList list(&traits, 16);
  list.Add("abc", 1);
  for (const std::string& absent : {"ab"s, "abcd"s, "ABC"s, ""s}) {
    try {
      list.Remove(absent);
      QFAIL("an absent key was removed");
    } catch (const EHashList& e) {
      QCOMPARE(std::string(e.what()), "Tried to remove invalid node: " + absent);
    }
  }
  QCOMPARE(list.Count(), 1u);
  QVERIFY(!list.DeleteToggle());  // a refused removal is no deletion
}

void TestHashList::removeThenAddAgain() {
  TCaseSensitiveTraits traits;
  THashList list(&traits, 4);
  list.Add("key", 1);
  QCOMPARE(list.Remove("key"), std::uintptr_t(1));
  QCOMPARE(list.Count(), 0u);
  std::uintptr_t value = 0;
  QVERIFY(!list.Find("key", value));
  list.Add("key", 2);
  QVERIFY(list.Find("key", value));
  QCOMPARE(value, std::uintptr_t(2));
}

void TestHashList::findAbsentLeavesValue() {
  TCaseSensitiveTraits traits;
  THashList list(&traits, 4);
  list.Add("present", 5);
  std::uintptr_t value = 42;
  QVERIFY(!list.Find("absent", value));
  QCOMPARE(value, std::uintptr_t(42));
}

void TestHashList::deletionsAlternateSuccessorAndPredecessor() {
  TFirstByteTraits traits;
  THashList list(&traits, 256);
  // Two buckets with the same balanced tree of seven keys.
  for (const char* suffix : {"d", "b", "f", "a", "c", "e", "g"}) {
    list.Add("A"s + suffix, 0);
    list.Add("B"s + suffix, 0);
  }
  QCOMPARE(Shape(list.Bucket('A')), "Ad(Ab(Aa,Ac),Af(Ae,Ag))"s);

  // Odd deletions take the successor, even ones the predecessor, whatever the bucket.
  struct TStep {
    const char* Key;
    const char* Shape;
  };
  const TStep steps[] = {
      {"Ad", "Ae(Ab(Aa,Ac),Af(,Ag))"},  // successor is the right child's leftmost
      {"Bd", "Bc(Bb(Ba,),Bf(Be,Bg))"},  // predecessor is the left child's rightmost
      {"Ae", "Af(Ab(Aa,Ac),Ag)"},       // successor is the right child itself
      {"Bc", "Bb(Ba,Bf(Be,Bg))"},       // predecessor is the left child itself
      {"Ab", "Af(Ac(Aa,),Ag)"},
      {"Bf", "Bb(Ba,Be(,Bg))"},
      {"Ac", "Af(Aa,Ag)"},  // no right child: the left one moves up
      {"Be", "Bb(Ba,Bg)"},  // no left child: the right one moves up
  };
  std::uint32_t expectedCount = list.Count();
  bool expectedToggle = false;
  for (const TStep& step : steps) {
    list.Remove(step.Key);
    expectedToggle = !expectedToggle;
    --expectedCount;
    QCOMPARE(list.DeleteToggle(), expectedToggle);
    QCOMPARE(Shape(list.Bucket(static_cast<unsigned char>(step.Key[0]))), std::string(step.Shape));
  }
  QCOMPARE(list.Count(), expectedCount);
  QCOMPARE(Violation(list, traits), ""s);
}

void TestHashList::clearFreesChildrenBeforeParents() {
  TCaseSensitiveTraits traits;
  TRecordingList list(&traits, 1);
  for (const char* key : {"d", "b", "f", "a", "c", "e", "g", "h"}) list.Add(key, 0);
  list.Clear();
  const std::vector<std::string> postOrder = {"a", "c", "b", "e", "h", "g", "f", "d"};
  QCOMPARE(list.Disposed, postOrder);
  QCOMPARE(list.Count(), 0u);
  QVERIFY(list.Bucket(0) == nullptr);
  QCOMPARE(list.Size(), 1u);
}

void TestHashList::setSizeZeroRefusedWhileEntriesExist() {
  TCaseSensitiveTraits traits;
  THashList list(&traits, 8);
  list.Add("kept", 7);
  try {
    list.SetSize(0);
    QFAIL("the buckets of a non-empty list were released");
  } catch (const EHashList& e) {
    QCOMPARE(std::string(e.what()), "HashList: must be empty to set size to zero"s);
  }
  QCOMPARE(list.Size(), 8u);
  std::uintptr_t value = 0;
  QVERIFY(list.Find("kept", value));
  QCOMPARE(value, std::uintptr_t(7));

  list.Remove("kept");
  list.SetSize(0);
  QCOMPARE(list.Size(), 0u);
}

void TestHashList::setSizeKeepsEntries_data() {
  QTest::addColumn<uint>("from");
  QTest::addColumn<uint>("to");
  QTest::newRow("same count") << 13u << 13u;
  QTest::newRow("to one bucket") << 13u << 1u;
  QTest::newRow("from one bucket") << 1u << 97u;
  QTest::newRow("to many") << 7u << 10000u;
}

void TestHashList::setSizeKeepsEntries() {
  QFETCH(uint, from);
  QFETCH(uint, to);
  TCaseSensitiveTraits traits;
  THashList list(&traits, from);
  for (std::uint32_t i = 0; i < 500; ++i) list.Add("key" + std::to_string(i), i * 3);
  list.Remove("key17");
  list.SetSize(to);
  QCOMPARE(list.Size(), std::uint32_t(to));
  QCOMPARE(list.Count(), 499u);
  QVERIFY(list.DeleteToggle());  // rebuilding deletes nothing
  for (std::uint32_t i = 0; i < 500; ++i) {
    std::uintptr_t value = 0;
    QCOMPARE(list.Find("key" + std::to_string(i), value), i != 17);
    if (i != 17) QCOMPARE(value, std::uintptr_t(i * 3));
  }
  QCOMPARE(Violation(list, traits), ""s);
}

void TestHashList::setSizeReinsertsInReverseCollectionOrder() {
  // Collected in pre-order b, a, c; reinserted c, a, b.
  TCaseSensitiveTraits traits;
  THashList list(&traits, 1);
  for (const char* key : {"b", "a", "c"}) list.Add(key, 0);
  QCOMPARE(Shape(list.Bucket(0)), "b(a,c)"s);
  list.SetSize(1);
  QCOMPARE(Shape(list.Bucket(0)), "c(a(,b),)"s);
}

void TestHashList::constructorNeedsTraits() {
  try {
    THashList list(nullptr, 16);
    QFAIL("a list without traits was created");
  } catch (const EHashList& e) {
    QCOMPARE(std::string(e.what()), "HashList must have traits"s);
  }
}

void TestHashList::withoutBucketsNothingIsStored() {
  TCaseSensitiveTraits traits;
  THashList list(&traits, 0);
  QCOMPARE(list.Size(), 0u);
  std::uintptr_t value = 3;
  QVERIFY(!list.Find("a", value));
  QCOMPARE(value, std::uintptr_t(3));
  QVERIFY_THROWS_EXCEPTION(EHashList, list.Add("a", 1));
  QVERIFY_THROWS_EXCEPTION(EHashList, list.Remove("a"));
  QCOMPARE(list.Count(), 0u);
  list.SetSize(4);
  list.Add("a", 1);
  QVERIFY(list.Find("a", value));
}

void TestHashList::deepChainsNeedNoStack() {
  // Keys added in order degenerate a bucket's tree into a chain. Rebuilding, clearing and
  // destroying such a list must work on a thread whose stack could not hold one frame per
  // node.
  constexpr std::uint32_t kKeys = 6000;
  TCaseSensitiveTraits traits;
  auto list = std::make_unique<THashList>(&traits, 1);
  for (std::uint32_t i = 0; i < kKeys; ++i) list->Add(OrderedKey(i), i);

  std::uint32_t countAfterRebuild = 0;
  std::string violation = "not run";
  bool allFound = true;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    list->SetSize(3);  // a right-leaning chain becomes three left-leaning ones
    countAfterRebuild = list->Count();
    violation = Violation(*list, traits);
    for (std::uint32_t i = 0; i < kKeys; i += 997) {
      std::uintptr_t value = 0;
      allFound = allFound && list->Find(OrderedKey(i), value) && value == i;
    }
    list.reset();
  }));
  worker->setStackSize(128 * 1024);
  worker->start();
  QVERIFY(worker->wait());
  QCOMPARE(countAfterRebuild, kKeys);
  QCOMPARE(violation, ""s);
  QVERIFY(allFound);
  QVERIFY(!list);
}

void TestHashList::matchesReferenceMapUnderRandomOperations() {
  // Few buckets and a small alphabet with zero and high bytes: deep trees, many collisions,
  // frequent duplicates and misses.
  std::mt19937 random(20240611);
  const std::string alphabet = "\0aAb\x80\xff"s;
  auto randomKey = [&] {
    std::string key(random() % 5, '\0');
    for (char& c : key) c = alphabet[random() % alphabet.size()];
    return key;
  };

  TCaseSensitiveTraits traits;
  THashList list(&traits, 13);
  std::map<std::string, std::uintptr_t> reference;
  for (int op = 0; op < 6000; ++op) {
    const std::string key = randomKey();
    const auto it = reference.find(key);
    const bool present = it != reference.end();
    const unsigned kind = random() % 100;
    if (kind < 45) {
      const std::uintptr_t value = random();
      bool raised = false;
      try {
        list.Add(key, value);
      } catch (const EHashList&) {
        raised = true;
      }
      QCOMPARE(raised, present);
      if (!present) reference.emplace(key, value);
    } else if (kind < 75) {
      bool raised = false;
      std::uintptr_t removed = 0;
      try {
        removed = list.Remove(key);
      } catch (const EHashList&) {
        raised = true;
      }
      QCOMPARE(raised, !present);
      if (present) {
        QCOMPARE(removed, it->second);
        reference.erase(it);
      }
    } else if (kind < 99) {
      std::uintptr_t value = 0;
      QCOMPARE(list.Find(key, value), present);
      if (present) QCOMPARE(value, it->second);
    } else {
      list.SetSize(1 + random() % 40);
    }
    QCOMPARE(list.Count(), std::uint32_t(reference.size()));
    if (op % 500 == 0) QCOMPARE(Violation(list, traits), ""s);
  }
  QCOMPARE(Violation(list, traits), ""s);
  for (const auto& [key, value] : reference) {
    std::uintptr_t found = 0;
    QVERIFY2(list.Find(key, found), Printable(key).constData());
    QCOMPARE(found, value);
  }
}

QTEST_GUILESS_MAIN(TestHashList)
#include "tst_hashlist.moc"
