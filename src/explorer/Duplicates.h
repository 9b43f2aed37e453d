#pragma once

#include "platform/FileDigest.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class TStringIndex;

// The selection rule of "Select Dupes", kept apart from the list so that the worker decides
// and the interface thread only applies the outcome.
//
// Rows are fed in list order and numbered 0, 1, 2, ... in that order. Of each group of rows
// with equal digests the last one fed stays unselected (the kept row) and the others are
// selected; a row without a digest is never selected and never keeps anything.
//
// One file on disk can be listed more than once (hard links, a symbolic link and its target, a
// bind mount). Deleting such a row would delete, or leave dangling, the very copy that is
// kept, so a row whose file identity equals the kept row's is never selected. Rows that are
// the same file as each other, but not as the kept row, stay selected. A row without a known
// identity is treated as a file of its own.
//
// Phases: AddRow for each row (on the worker), TakeChanges whenever a batch is handed over and
// once at the end. After every AddRow the wanted selection satisfies the rule for the rows fed
// so far, and each batch carries whole rows' worth of changes: a pass that is cancelled after
// any row, once its changes are applied, leaves a selection that never marks the kept copy.
// A later row may take a selection back (its file is the one now kept); the batches say so.
//
// Budget: one index lookup per row with a digest, plus a hash-map update per row with an
// identity; a row changes state only when the kept file of its group changes identity.
class TDuplicateSelector {
 public:
  TDuplicateSelector();
  ~TDuplicateSelector();
  TDuplicateSelector(const TDuplicateSelector&) = delete;
  TDuplicateSelector& operator=(const TDuplicateSelector&) = delete;

  // Feeds the next row in list order; returns its number.
  std::int32_t AddRow(const std::optional<TDigest>& digest,
                      const std::optional<TFileIdentity>& identity);

  // The net selection changes since the previous call: rows to select and rows to deselect,
  // each in ascending row order. A row that changed and changed back is in neither.
  struct TChanges {
    std::vector<std::int32_t> Selected;
    std::vector<std::int32_t> Deselected;
    bool IsEmpty() const { return Selected.empty() && Deselected.empty(); }
  };
  TChanges TakeChanges();

  // Whether the row is selected as things stand now (applied or not).
  bool IsSelected(std::int32_t row) const;
  std::int32_t RowCount() const { return static_cast<std::int32_t>(FState.size()); }

 private:
  struct TGroup;
  struct TClassKey {
    const TGroup* Group;
    TFileIdentity Identity;
    friend bool operator==(const TClassKey&, const TClassKey&) = default;
  };
  struct TClassKeyHash {
    std::size_t operator()(const TClassKey& key) const;
  };

  void SetSelected(std::int32_t row, bool selected);
  void SetClassSelected(const TGroup& group, bool selected);

  std::unique_ptr<TStringIndex> FIndex;  // digest bytes -> TGroup*
  std::deque<TGroup> FGroups;            // stable addresses for the index
  // Rows of a group that are one file on disk; only rows with a known identity are here.
  std::unordered_map<TClassKey, std::vector<std::int32_t>, TClassKeyHash> FClasses;
  std::vector<std::uint8_t> FState;  // per row: wanted, applied and pending bits
  std::vector<std::int32_t> FPending;
};

// One row of a whole pass at once: its digest (none when it could not be read) and the
// identity of its file (none when unknown).
struct TDuplicateRow {
  std::optional<TDigest> Digest;
  std::optional<TFileIdentity> Identity;
};

// The rows a complete pass selects, in ascending order.
std::vector<std::int32_t> SelectDuplicates(const std::vector<TDuplicateRow>& rows);
