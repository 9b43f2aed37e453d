// The list's text order against QCollator's case-insensitive comparison, name by name.
#include "explorer/FileListModel.h"
#include "explorer/FileListSort.h"
#include "explorer/FileNodeData.h"

#include <QCollator>
#include <QTest>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

// Names that stress the collation: case pairs, digits, punctuation, accents and sharp s, CJK,
// bytes that are not UTF-8 (shown as replacement characters), empty names and many exact
// repeats, so that ties show whether their order is kept. More rows than the sort's threading
// threshold, so the key work and the sort are split over threads.
std::vector<std::unique_ptr<TFileNodeData>> MakeNames(int count) {
  const char* const pieces[] = {"a",     "A",       "b",        "Z",        "0",       "9",
                                "10",    " ",       "_",        "-",        ".",       "(",
                                "!",     "\xc3\xa9", "\xc3\x89", "e",        "E",       "\xc3\x9c",
                                "\xc3\xbc", "u",    "ss",       "\xc3\x9f", "SS",      "\xe6\x97\xa5",
                                "\xe6\x9c\xac", "\xe4\xb8\x80", "\xff", "\xc3", "\x80\x80", "z"};
  std::mt19937 random(7);
  std::vector<std::unique_ptr<TFileNodeData>> records;
  for (int i = 0; i < count; ++i) {
    QByteArray name;
    const int length = int(random() % 6);  // 0: an empty name
    for (int p = 0; p < length; ++p) name += pieces[random() % std::size(pieces)];
    records.push_back(MakeFileRecord("/d/" + name));
  }
  return records;
}

}  // namespace

class TFileListSortTest : public QObject {
  Q_OBJECT

 private slots:
  void matchesCollatorCompare_data() {
    QTest::addColumn<QString>("localeName");
    QTest::addColumn<Qt::SortOrder>("order");
    for (const char* locale : {"C", "de_DE"})
      for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder})
        QTest::addRow("%s %s", locale, order == Qt::AscendingOrder ? "up" : "down")
            << QString::fromLatin1(locale) << order;
  }

  void matchesCollatorCompare() {
    QFETCH(QString, localeName);
    QFETCH(Qt::SortOrder, order);
    const QLocale locale(localeName);
    const auto records = MakeNames(24000);

    QCollator collator(CollationLocale(locale));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QString> texts;
    for (const auto& record : records) texts.push_back(DisplayTextOf(record->Name()));
    std::vector<int> expected(records.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
      return order == Qt::AscendingOrder ? collator.compare(texts[a], texts[b]) < 0
                                         : collator.compare(texts[b], texts[a]) < 0;
    });

    const std::vector<int> actual = FileListSortOrder(records, fcName, order, locale);
    QCOMPARE(actual.size(), expected.size());
    const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (mismatch.first != actual.end())
      QFAIL(qPrintable(QStringLiteral("row %1: got \"%2\", expected \"%3\"")
                           .arg(mismatch.first - actual.begin())
                           .arg(texts[*mismatch.first], texts[*mismatch.second])));
  }

  // Names that differ only in case are ties, whatever the locale; accents are not.
  void caseBlindAccentAware() {
    std::vector<std::unique_ptr<TFileNodeData>> records;
    for (const char* name : {"STRASSE", "stra\xc3\x9f" "e", "Stra\xc3\x9f" "e", "strasse", "Ecole",
                             "\xc3\xa9" "cole", "\xc3\x89" "COLE", "ecole"})
      records.push_back(MakeFileRecord(QByteArray("/d/") + name));
    const std::vector<int> order =
        FileListSortOrder(records, fcName, Qt::AscendingOrder, QLocale(QStringLiteral("de_DE")));
    QCOMPARE(order, (std::vector<int>{4, 7, 5, 6, 0, 3, 1, 2}));
  }
};

QTEST_GUILESS_MAIN(TFileListSortTest)
#include "tst_filelistsort.moc"
