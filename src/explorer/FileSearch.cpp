#include "explorer/FileSearch.h"

#include <algorithm>
#include <cmath>

namespace {

// Walk counts between two progress calls.
constexpr std::int32_t kProgressEvery = 100;

constexpr char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

QByteArray FoldSearchText(const QString& text) {
  QByteArray folded = text.toUtf8();
  for (char& c : folded) c = FoldAscii(c);
  return folded;
}

bool ContainsFolded(QByteArrayView text, QByteArrayView foldedNeedle) {
  if (foldedNeedle.isEmpty() || foldedNeedle.size() > text.size()) return false;
  return std::search(text.begin(), text.end(), foldedNeedle.begin(), foldedNeedle.end(),
                     [](char a, char b) { return FoldAscii(a) == b; }) != text.end();
}

std::optional<std::int32_t> FindMatchingRow(const QByteArray& foldedNeedle, std::int32_t start,
                                            std::int32_t rowCount, const TSearchRowText& rowText,
                                            const TSearchProgress& progress) {
  std::int32_t counter = 0;
  for (std::int32_t row = std::max(start, 0); row < rowCount; ++row, ++counter) {
    const auto [name, path] = rowText(row);
    if (ContainsFolded(name, foldedNeedle) || ContainsFolded(path, foldedNeedle)) return row;
    if (progress && counter % kProgressEvery == 0)
      progress(static_cast<int>(std::lrint(static_cast<double>(counter) / rowCount * 100.0)));
  }
  return std::nullopt;
}

std::int32_t SearchStartRow(bool findNext, std::optional<std::int32_t> resumeRow) {
  return findNext && resumeRow ? *resumeRow : 0;
}

std::optional<std::int32_t> ResumeRowAfter(std::optional<std::int32_t> match,
                                           std::int32_t rowCount) {
  if (!match || *match + 1 >= rowCount) return std::nullopt;
  return *match + 1;
}
