#include "explorer/FileListSort.h"

#include "explorer/FileListModel.h"

#include <unicode/ucol.h>
#include <unicode/utypes.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
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

// One thread's collation keys: every key NUL-terminated in one growing byte block, so that
// making a million keys allocates a handful of times rather than once per row.
struct TKeyArena {
  std::vector<std::uint8_t> Bytes;
  std::vector<std::size_t> Offsets;  // per row of the slice, into Bytes
};

// Opens a case-blind collator for the locale: secondary strength tells accents apart but not
// case, the same order QCollator's case-insensitive comparison gives. A collator is not safe
// to share between threads, so each thread opens its own (ICU caches the rules, so this is
// cheap).
UCollator* OpenCaseBlindCollator(const QByteArray& localeName) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(localeName.constData(), &status);
  if (U_FAILURE(status)) {
    qWarning("Cannot open the collation for %s: %s", localeName.constData(), u_errorName(status));
    status = U_ZERO_ERROR;
    collator = ucol_open("", &status);  // the root collation, language-neutral
    if (U_FAILURE(status)) return nullptr;
  }
  ucol_setStrength(collator, UCOL_SECONDARY);
  return collator;
}

// The displayed text as UTF-16 in buffer. Most names are plain ASCII, which widens byte by
// byte; others take the full decoding, which shows invalid UTF-8 as replacement characters.
std::span<const UChar> DisplayUtf16(QByteArrayView bytes, std::vector<UChar>& buffer,
                                    QString& decoded) {
  buffer.resize(std::size_t(bytes.size()));
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) {
      decoded = DisplayTextOf(bytes);
      return {reinterpret_cast<const UChar*>(decoded.utf16()), std::size_t(decoded.size())};
    }
    buffer[std::size_t(i)] = UChar(c);
  }
  return {buffer.data(), buffer.size()};
}

void MakeKeys(std::span<const std::unique_ptr<TFileNodeData>> records, int column,
              UCollator* collator, TKeyArena& arena) {
  // Secondary keys run to about one byte per ASCII character plus a few; start with room for
  // that and grow geometrically.
  arena.Bytes.resize(records.size() * 32 + 64);
  arena.Offsets.resize(records.size());
  std::vector<UChar> buffer;
  QString decoded;
  std::size_t used = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    arena.Offsets[i] = used;
    if (!collator) {  // no collation at all: every text compares equal, rows keep their order
      arena.Bytes[used++] = 0;
      continue;
    }
    const std::span<const UChar> text = DisplayUtf16(BytesOf(*records[i], column), buffer, decoded);
    for (;;) {
      const std::size_t room = arena.Bytes.size() - used;
      const int32_t length =
          ucol_getSortKey(collator, text.data(), int32_t(text.size()), arena.Bytes.data() + used,
                          int32_t(std::min<std::size_t>(room, INT32_MAX)));
      // The length includes the terminating NUL; a key that did not fit is cut, so grow and
      // make it again.
      if (length > 0 && std::size_t(length) <= room) {
        used += std::size_t(length);
        break;
      }
      arena.Bytes.resize(std::max(arena.Bytes.size() * 2, used + std::size_t(length) + 64));
    }
    // Keep room for at least one more empty key.
    if (used >= arena.Bytes.size()) arena.Bytes.resize(arena.Bytes.size() * 2);
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
  const QByteArray localeName = CollationLocale(locale).name().toLatin1();
  const unsigned threads = ThreadsFor(records.size());
  std::vector<TKeyArena> arenas(threads);
  std::vector<const char*> keys(records.size());
  const std::size_t slice = (records.size() + threads - 1) / threads;
  ForEachSlice(records.size(), threads, [&](std::size_t begin, std::size_t end) {
    TKeyArena& arena = arenas[begin / std::max<std::size_t>(slice, 1)];
    UCollator* collator = OpenCaseBlindCollator(localeName);
    MakeKeys(records.subspan(begin, end - begin), column, collator, arena);
    if (collator) ucol_close(collator);
    // The arena no longer moves: point every row at its key.
    const char* base = reinterpret_cast<const char*>(arena.Bytes.data());
    for (std::size_t i = begin; i < end; ++i) keys[i] = base + arena.Offsets[i - begin];
  });
  // Keys compare as unsigned byte strings, which is strcmp's order.
  std::vector<int> rows(records.size());
  std::iota(rows.begin(), rows.end(), 0);
  if (order == Qt::AscendingOrder)
    ParallelStableSort(rows, [&keys](int a, int b) {
      return std::strcmp(keys[std::size_t(a)], keys[std::size_t(b)]) < 0;
    });
  else
    ParallelStableSort(rows, [&keys](int a, int b) {
      return std::strcmp(keys[std::size_t(b)], keys[std::size_t(a)]) < 0;
    });
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
