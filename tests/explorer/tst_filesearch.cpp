#include "explorer/FileSearch.h"

#include <QtTest>

namespace {

// Rows as full paths; the name is the part after the last "/".
struct TRowsFixture {
  QList<QByteArray> Paths;
  TSearchRowText Text() const {
    return [this](std::int32_t row) {
      const QByteArray& path = Paths.at(row);
      const QByteArrayView name = QByteArrayView(path).sliced(path.lastIndexOf('/') + 1);
      return std::pair<QByteArrayView, QByteArrayView>(name, path);
    };
  }
  std::int32_t Count() const { return static_cast<std::int32_t>(Paths.size()); }
};

using TOptRow = std::optional<std::int32_t>;

}  // namespace

class TFileSearchTest : public QObject {
  Q_OBJECT

 private slots:
  void matching_data() {
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("substring") << QStringLiteral("b") << QByteArray("ab.txt") << true;
    QTest::newRow("case of A-Z ignored")
        << QStringLiteral("README") << QByteArray("readme.md") << true;
    QTest::newRow("both ways") << QStringLiteral("readme") << QByteArray("ReadMe.MD") << true;
    QTest::newRow("empty matches nothing") << QString() << QByteArray("anything") << false;
    QTest::newRow("longer than text") << QStringLiteral("abcd") << QByteArray("abc") << false;
    QTest::newRow("only itself beyond A-Z")
        << QStringLiteral("CAFÉ") << QByteArray("caf\xc3\xa9") << false;
    QTest::newRow("non-ASCII exact") << QStringLiteral("CAFé") << QByteArray("caf\xc3\xa9") << true;
    QTest::newRow("not UTF-8 text") << QStringLiteral("X") << QByteArray("\xff\xfex") << true;
    QTest::newRow("punctuation exact") << QStringLiteral("[") << QByteArray("{") << false;
  }
  void matching() {
    QFETCH(QString, needle);
    QFETCH(QByteArray, text);
    QFETCH(bool, matches);
    QCOMPARE(ContainsFolded(text, FoldSearchText(needle)), matches);
  }

  // Find First, then Find Next twice, with the resume rules in between.
  void findFirstThenNext_data() {
    QTest::addColumn<QList<QByteArray>>("names");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QList<int>>("found");  // -1: nothing found
    QTest::newRow("wraps after the last row") << QList<QByteArray>{"a.txt", "b.txt", "ab.txt"}
                                              << QStringLiteral("b") << QList<int>{1, 2, 1};
    QTest::newRow("walk to the end, then again") << QList<QByteArray>{"a.txt", "b.txt", "c.txt"}
                                                 << QStringLiteral("b") << QList<int>{1, -1, 1};
    QTest::newRow("empty text") << QList<QByteArray>{"a.txt"} << QString()
                                << QList<int>{-1, -1, -1};
    QTest::newRow("no rows") << QList<QByteArray>{} << QStringLiteral("a")
                             << QList<int>{-1, -1, -1};
  }
  void findFirstThenNext() {
    QFETCH(QList<QByteArray>, names);
    QFETCH(QString, needle);
    QFETCH(QList<int>, found);
    TRowsFixture rows;
    for (const QByteArray& name : names) rows.Paths << "/T/" + name;
    const QByteArray folded = FoldSearchText(needle);
    TOptRow resume;
    for (qsizetype step = 0; step < found.size(); ++step) {
      const std::int32_t start = SearchStartRow(step > 0, resume);
      const TOptRow match = FindMatchingRow(folded, start, rows.Count(), rows.Text());
      QCOMPARE(match.value_or(-1), found[step]);
      resume = ResumeRowAfter(match, rows.Count());
    }
  }

  // A text naming a folder matches every row below it, whatever the names.
  void folderInPath() {
    TRowsFixture rows{{"/home/x/a.txt", "/usr/lib/Windows/z.bin", "/windows/y"}};
    QCOMPARE(FindMatchingRow(FoldSearchText("windows"), 0, rows.Count(), rows.Text()).value_or(-1),
             1);
  }

  // Progress before the rows at walk counts 0, 100, 200, ...: a percentage of all rows.
  void progressEveryHundredRows() {
    TRowsFixture rows;
    for (int i = 0; i < 250; ++i) rows.Paths << "/t/f" + QByteArray::number(i);
    QList<int> reported;
    const TOptRow match = FindMatchingRow(FoldSearchText("nothing"), 0, rows.Count(), rows.Text(),
                                          [&](int percent) { reported << percent; });
    QVERIFY(!match);
    QCOMPARE(reported, (QList<int>{0, 40, 80}));
    reported.clear();
    FindMatchingRow(FoldSearchText("nothing"), 50, rows.Count(), rows.Text(),
                    [&](int percent) { reported << percent; });
    QCOMPARE(reported, (QList<int>{0, 40}));  // the counter starts at the walk's first row
  }
};

QTEST_GUILESS_MAIN(TFileSearchTest)
#include "tst_filesearch.moc"
