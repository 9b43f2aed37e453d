#include "explorer/FileListSort.h"

#include "explorer/FileListModel.h"

#include <QCollator>
#include <QFile>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>
#include <thread>

namespace {

// Below this many rows the threads cost more than they save.
constexpr std::size_t kParallelKeyThreshold = 20000;
constexpr unsigned kMaxKeyThreads = 8;

QString TextOf(const TFileNodeData& record, int column) {
  switch (column) {
    case fcName:
      return QFile::decodeName(record.Name);
    case fcType:
      return QFile::decodeName(record.Ext);
    case fcHash:
      return QString::fromLatin1(record.Hash);
    case fcPath:
      return QFile::decodeName(record.Path);
    default:
      return {};
  }
}

std::int64_t NumberOf(const TFileNodeData& record, int column) {
  switch (column) {
    case fcSize:
      return record.Size;
    case fcCreated:
      return record.Created;
    case fcModified:
      return record.Modified;
    case fcAccessed:
      return record.Accessed;
    default:
      return 0;
  }
}

// Runs work(begin, end) over [0, count) split across the cores.
template <typename Work>
void ForEachSlice(std::size_t count, Work work) {
  unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxKeyThreads);
  if (count < kParallelKeyThreshold) threads = 1;
  const std::size_t slice = (count + threads - 1) / threads;
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) {
    const std::size_t begin = std::min(count, t * slice);
    const std::size_t end = std::min(count, begin + slice);
    helpers.emplace_back([&work, begin, end] { work(begin, end); });
  }
  work(0, std::min(count, slice));
  for (std::thread& helper : helpers) helper.join();
}

std::vector<int> SortByText(std::span<const std::unique_ptr<TFileNodeData>> records, int column,
                            Qt::SortOrder order, const QLocale& locale) {
  const QLocale collationLocale = CollationLocale(locale);
  std::vector<std::optional<QCollatorSortKey>> keys(records.size());
  ForEachSlice(records.size(), [&](std::size_t begin, std::size_t end) {
    // A collator is not safe to share between threads: one per slice.
    QCollator collator(collationLocale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Folding first also makes keys case-blind where the collator's keys ignore the setting.
    for (std::size_t i = begin; i < end; ++i)
      keys[i].emplace(collator.sortKey(TextOf(*records[i], column).toCaseFolded()));
  });
  std::vector<int> rows(records.size());
  std::iota(rows.begin(), rows.end(), 0);
  if (order == Qt::AscendingOrder)
    std::stable_sort(rows.begin(), rows.end(),
                     [&keys](int a, int b) { return keys[a]->compare(*keys[b]) < 0; });
  else
    std::stable_sort(rows.begin(), rows.end(),
                     [&keys](int a, int b) { return keys[b]->compare(*keys[a]) < 0; });
  return rows;
}

std::vector<int> SortByNumber(std::span<const std::unique_ptr<TFileNodeData>> records, int column,
                              Qt::SortOrder order) {
  struct TKeyedRow {
    std::int64_t Key;
    int Row;
  };
  std::vector<TKeyedRow> keyed(records.size());
  for (std::size_t i = 0; i < records.size(); ++i)
    keyed[i] = {NumberOf(*records[i], column), int(i)};
  // The row number breaks ties, which keeps equal rows in their order in both directions.
  if (order == Qt::AscendingOrder)
    std::sort(keyed.begin(), keyed.end(), [](const TKeyedRow& a, const TKeyedRow& b) {
      return a.Key != b.Key ? a.Key < b.Key : a.Row < b.Row;
    });
  else
    std::sort(keyed.begin(), keyed.end(), [](const TKeyedRow& a, const TKeyedRow& b) {
      return a.Key != b.Key ? a.Key > b.Key : a.Row < b.Row;
    });
  std::vector<int> rows(records.size());
  for (std::size_t i = 0; i < keyed.size(); ++i) rows[i] = keyed[i].Row;
  return rows;
}

}  // namespace

QLocale CollationLocale(const QLocale& locale) {
  if (locale.language() == QLocale::C) return QLocale(QLocale::English, QLocale::UnitedStates);
  return locale;
}

std::vector<int> FileListSortOrder(std::span<const std::unique_ptr<TFileNodeData>> records,
                                   int column, Qt::SortOrder order, const QLocale& locale) {
  switch (column) {
    case fcName:
    case fcType:
    case fcHash:
    case fcPath:
      return SortByText(records, column, order, locale);
    case fcSize:
    case fcCreated:
    case fcModified:
    case fcAccessed:
      return SortByNumber(records, column, order);
    default: {
      std::vector<int> rows(records.size());
      std::iota(rows.begin(), rows.end(), 0);
      return rows;
    }
  }
}
