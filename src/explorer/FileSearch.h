#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

// The matching of "Find First" / "Find Next": a row matches when the search text occurs as a
// whole in its file name or in its full path. Only the letters A to Z are folded to a to z, in
// the text and in the rows alike; every other character, é included, matches only itself.
// Text is compared as UTF-8 bytes: folding A to Z byte by byte is exact there, since no byte
// of a multi-byte UTF-8 sequence is in the ASCII range. Names that are not valid UTF-8 are
// searched as the bytes they are.
//
// Rows are addressed by their index in list order. Where "Find Next" resumes is the caller's
// (the window's FSearchNode); SearchStartRow and ResumeRowAfter give its rules.

// The search text as the walk compares it: UTF-8 with A to Z lowered.
QByteArray FoldSearchText(const QString& text);

// Whether `foldedNeedle` occurs in `text` with A to Z of `text` lowered. An empty needle
// occurs nowhere.
bool ContainsFolded(QByteArrayView text, QByteArrayView foldedNeedle);

// Name and full path of a row, as raw bytes.
using TSearchRowText = std::function<std::pair<QByteArrayView, QByteArrayView>(std::int32_t row)>;
// Called before the rows at walk counts 0, 100, 200, ... with the walk's position as a
// percentage of all rows (counter / rowCount * 100, rounded half to even); the window moves
// its progress bar and handles pending events there.
using TSearchProgress = std::function<void(int percent)>;

// Walks the rows from `start` to the last one and returns the first matching row, or none.
// The walk never wraps around: a walk that reaches the end without a match ends there.
std::optional<std::int32_t> FindMatchingRow(const QByteArray& foldedNeedle, std::int32_t start,
                                            std::int32_t rowCount, const TSearchRowText& rowText,
                                            const TSearchProgress& progress = {});

// Where a walk starts: the first row for "Find First" or when there is no row to resume at,
// else the resume row.
std::int32_t SearchStartRow(bool findNext, std::optional<std::int32_t> resumeRow);

// Where the next "Find Next" resumes after a walk: the row after the match, none when the
// match was the last row or when nothing matched (so the next walk starts at the first row).
std::optional<std::int32_t> ResumeRowAfter(std::optional<std::int32_t> match,
                                           std::int32_t rowCount);
