#include "explorer/Duplicates.h"

#include "containers/StringIndex.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::uint8_t kWanted = 1;
constexpr std::uint8_t kApplied = 2;
constexpr std::uint8_t kPending = 4;

std::string_view KeyOf(const TDigest& digest) {
  return {reinterpret_cast<const char*>(digest.data()), digest.size()};
}

}  // namespace

// The kept row of a group and the identity of its file. Every row of the group whose identity
// equals KeptIdentity is unselected; every other row of the group is selected.
struct TDuplicateSelector::TGroup {
  std::int32_t KeptRow = -1;
  std::int32_t Rows = 0;
  std::optional<TFileIdentity> KeptIdentity;
};

std::size_t TDuplicateSelector::TClassKeyHash::operator()(const TClassKey& key) const {
  std::size_t hash = std::hash<const void*>()(key.Group);
  hash = hash * 0x9E3779B97F4A7C15ull + std::hash<std::uint64_t>()(key.Identity.Device);
  hash = hash * 0x9E3779B97F4A7C15ull + std::hash<std::uint64_t>()(key.Identity.Inode);
  return hash;
}

TDuplicateSelector::TDuplicateSelector() : FIndex(std::make_unique<TStringIndex>()) {}

TDuplicateSelector::~TDuplicateSelector() = default;

std::int32_t TDuplicateSelector::AddRow(const std::optional<TDigest>& digest,
                                        const std::optional<TFileIdentity>& identity) {
  const auto row = static_cast<std::int32_t>(FState.size());
  FState.push_back(0);
  if (!digest) return row;

  void* found = nullptr;
  TGroup* group = nullptr;
  if (FIndex->Find(KeyOf(*digest), found)) {
    group = static_cast<TGroup*>(found);
  } else {
    group = &FGroups.emplace_back();
    FIndex->Add(KeyOf(*digest), group);
  }
  // A group of one row needs no class: its only row is the kept one. Classes are recorded from
  // the second row on, which keeps the map to the rows that have a twin.
  if (++group->Rows == 2 && group->KeptIdentity)
    FClasses[{group, *group->KeptIdentity}].push_back(group->KeptRow);
  if (identity && group->Rows >= 2) FClasses[{group, *identity}].push_back(row);

  const bool sameFileAsKept = identity && group->KeptIdentity == identity;
  if (group->KeptRow >= 0 && !sameFileAsKept) {
    // The kept file changes: the rows of the previously kept file become duplicates, and rows
    // of the newly kept file that were selected so far are taken back.
    SetClassSelected(*group, true);
    group->KeptIdentity = identity;
    group->KeptRow = row;
    SetClassSelected(*group, false);
  }
  group->KeptRow = row;
  group->KeptIdentity = identity;
  return row;
}

void TDuplicateSelector::SetClassSelected(const TGroup& group, bool selected) {
  if (!group.KeptIdentity) {
    SetSelected(group.KeptRow, selected);
    return;
  }
  const auto rows = FClasses.find({&group, *group.KeptIdentity});
  if (rows == FClasses.end()) return;
  for (const std::int32_t row : rows->second) SetSelected(row, selected);
}

void TDuplicateSelector::SetSelected(std::int32_t row, bool selected) {
  std::uint8_t& state = FState[static_cast<std::size_t>(row)];
  state = selected ? (state | kWanted) : (state & ~kWanted);
  if (!(state & kPending)) {
    state |= kPending;
    FPending.push_back(row);
  }
}

TDuplicateSelector::TChanges TDuplicateSelector::TakeChanges() {
  TChanges changes;
  std::sort(FPending.begin(), FPending.end());
  for (const std::int32_t row : FPending) {
    std::uint8_t& state = FState[static_cast<std::size_t>(row)];
    const bool wanted = state & kWanted;
    if (wanted != bool(state & kApplied))
      (wanted ? changes.Selected : changes.Deselected).push_back(row);
    state = wanted ? (kWanted | kApplied) : 0;
  }
  FPending.clear();
  return changes;
}

bool TDuplicateSelector::IsSelected(std::int32_t row) const {
  return row >= 0 && row < RowCount() && (FState[static_cast<std::size_t>(row)] & kWanted);
}

std::vector<std::int32_t> SelectDuplicates(const std::vector<TDuplicateRow>& rows) {
  TDuplicateSelector selector;
  for (const TDuplicateRow& row : rows) selector.AddRow(row.Digest, row.Identity);
  return selector.TakeChanges().Selected;
}
