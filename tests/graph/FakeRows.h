#pragma once

#include "explorer/FileNodeData.h"
#include "graph/ItemNetwork.h"
#include "graph/TimelineRows.h"

#include <QColor>
#include <QPixmap>

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

// An in-memory file list for the timeline's tests: rows in insertion order, a set of selected
// records, and the view told of every selection change, as the window does.
class TFakeRows : public TTimelineRows {
 public:
  std::vector<std::unique_ptr<TFileNodeData>> Records;
  std::unordered_set<const TFileNodeData*> Selected;
  TVORNItemNetwork* View = nullptr;
  int BatchCalls = 0;

  TFileNodeData* Add(std::int64_t modified, int imageIndex = 0,
                     const QByteArray& name = "photo.jpg",
                     const QByteArray& path = "/home/ana/Pictures/photo.jpg") {
    // The path ends with the name.
    auto record = std::make_unique<TFileNodeData>();
    record->SetPath(path, path.size() - name.size());
    record->Modified = modified;
    record->ImageIndex = imageIndex;
    Records.push_back(std::move(record));
    return Records.back().get();
  }
  // Frees a row's record the way the window does: the view first drops its item.
  void Remove(TFileNodeData* record) {
    if (View) View->RemoveItemsOf({record});
    Selected.erase(record);
    std::erase_if(Records, [record](const auto& r) { return r.get() == record; });
  }

  int RowCount() const override { return static_cast<int>(Records.size()); }
  TFileNodeData* RowRecord(int row) const override {
    return Records[static_cast<std::size_t>(row)].get();
  }
  bool IsSelected(const TFileNodeData* record) const override {
    return Selected.count(record) != 0;
  }
  void ClearSelection() override {
    Selected.clear();
    Notify();
  }
  void SetSelected(TFileNodeData* record, bool selected) override {
    if (selected) {
      Selected.insert(record);
    } else {
      Selected.erase(record);
    }
    Notify();
  }
  void SetSelection(const std::vector<TSelectionChange>& changes) override {
    ++BatchCalls;
    for (const TSelectionChange& change : changes) {
      if (change.Selected) {
        Selected.insert(change.Record);
      } else {
        Selected.erase(change.Record);
      }
    }
    Notify();
  }
  // A plain 16 × 16 square per type; none for a type without an icon.
  QPixmap Icon(int imageIndex) const override {
    if (imageIndex < 0) return {};
    QPixmap icon(16, 16);
    icon.fill(QColor(250, 250, 250));
    return icon;
  }

 private:
  void Notify() {
    if (View) View->SelectionChanged();
  }
};
