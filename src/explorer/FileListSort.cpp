#include "explorer/FileListSort.h"

#include "explorer/FileListModel.h"

#include <QCollator>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>
#include <thread>

namespace {

// Below this many rows the threads cost more than they save.
constexpr std::size_t kParallelThreshold = 20000;
constexpr unsigned kMaxThreads = 8;

QByteArrayView BytesOf(const TFileNodeData& record, int column) {
  switch (column) {
    case fcName:
      return record.Name();
    case fcType:
      return record.Ext();
    default:
      return record.Path;
  }
}

// The text to collate: the displayed text, case folded. Most names are plain ASCII, where
// folding is lowering and one pass makes the string; others take the full decoding.
QString FoldedTextOf(const TFileNodeData& record, int column) {
  const QByteArrayView bytes = BytesOf(record, column);
  QString text(bytes.size(), Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) return DisplayTextOf(bytes).toCaseFolded();
    out[i] = (c >= 'A' && c <= 'Z') ? char16_t(c + ('a' - 'A')) : char16_t(c);
  }
  return text;
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

unsigned ThreadsFor(std::size_t count) {
  if (count < kParallelThreshold) return 1;
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
}

// Runs work(begin, end) over [0, count) split into one slice per thread.
template <typename Work>
void ForEachSlice(std::size_t count, unsigned threads, Work work) {
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

// A stable sort whose slices are sorted on their own threads and then merged; merging keeps
// stability because every earlier slice holds only earlier elements.
template <typename Less>
void ParallelStableSort(std::vector<int>& rows, Less less) {
  const unsigned threads = ThreadsFor(rows.size());
  const std::size_t slice = (rows.size() + threads - 1) / threads;
  ForEachSlice(rows.size(), threads, [&](std::size_t begin, std::size_t end) {
    std::stable_sort(rows.begin() + std::ptrdiff_t(begin), rows.begin() + std::ptrdiff_t(end),
                     less);
  });
  for (std::size_t merged = slice; merged < rows.size(); merged += slice) {
    const std::size_t end = std::min(rows.size(), merged + slice);
    std::inplace_merge(rows.begin(), rows.begin() + std::ptrdiff_t(merged),
                       rows.begin() + std::ptrdiff_t(end), less);
  }
}

std::vector<int> SortByText(std::span<const std::unique_ptr<TFileNodeData>> records, int column,
                            Qt::SortOrder order, const QLocale& locale) {
  const QLocale collationLocale = CollationLocale(locale);
  std::vector<std::optional<QCollatorSortKey>> keys(records.size());
  ForEachSlice(records.size(), ThreadsFor(records.size()), [&](std::size_t begin, std::size_t end) {
    // A collator is not safe to share between threads: one per slice.
    QCollator collator(collationLocale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Folding first also makes keys case-blind where the collator's keys ignore the setting.
    for (std::size_t i = begin; i < end; ++i)
      keys[i].emplace(collator.sortKey(FoldedTextOf(*records[i], column)));
  });
  std::vector<int> rows(records.size());
  std::iota(rows.begin(), rows.end(), 0);
  if (order == Qt::AscendingOrder)
    ParallelStableSort(rows, [&keys](int a, int b) { return keys[a]->compare(*keys[b]) < 0; });
  else
    ParallelStableSort(rows, [&keys](int a, int b) { return keys[b]->compare(*keys[a]) < 0; });
  return rows;
}

// By the digest's bytes, records without one first: the order the hexadecimal text has under
// the collation (digits before letters, case ignored, the empty text first), without making
// the text.
std::vector<int> SortByDigest(std::span<const std::unique_ptr<TFileNodeData>> records,
                              Qt::SortOrder order) {
  std::vector<int> rows(records.size());
  std::iota(rows.begin(), rows.end(), 0);
  const auto less = [records](int a, int b) {
    const TFileNodeData& left = *records[std::size_t(a)];
    const TFileNodeData& right = *records[std::size_t(b)];
    if (left.HasDigest != right.HasDigest) return right.HasDigest;
    return left.HasDigest && left.Digest < right.Digest;
  };
  if (order == Qt::AscendingOrder)
    std::stable_sort(rows.begin(), rows.end(), less);
  else
    std::stable_sort(rows.begin(), rows.end(), [&less](int a, int b) { return less(b, a); });
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
    case fcPath:
      return SortByText(records, column, order, locale);
    case fcHash:
      return SortByDigest(records, order);
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
