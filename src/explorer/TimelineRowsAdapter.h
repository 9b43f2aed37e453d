#pragma once

#include <QObject>
#include <QPixmap>

#include <vector>

#include "graph/TimelineRows.h"

class QItemSelectionModel;
class TFileListModel;
class TFileListView;
class TImageList;
class TVORNItemNetwork;

// The file list as the timeline's rows: the list's model gives the rows, the list's selection
// model is the one selection both views show and change. Once a view is attached it is kept in
// step with the list, live:
// - every selection change, whoever made it, repaints the view;
// - rows about to be removed drop their items, and a list about to be emptied clears the view,
//   both before the model frees the records.
//
// Selection reads are answered from a per-row copy of the selection, made again on the first
// read after a change, so a paint of thousands of tiles costs one pass over the selection's
// ranges and not one per tile. Writes are whole-row ranges built by hand: the selection
// model's own row expansion and change diffing are quadratic in the number of ranges, which a
// band over a list sorted by name makes large.
class TTimelineRowsAdapter : public QObject, public TTimelineRows {
 public:
  TTimelineRowsAdapter(TFileListView* list, const TImageList* images);
  ~TTimelineRowsAdapter() override;
  TTimelineRowsAdapter(const TTimelineRowsAdapter&) = delete;
  TTimelineRowsAdapter& operator=(const TTimelineRowsAdapter&) = delete;

  // The view kept in step with the list; null detaches it (before the view is freed).
  void SetView(TVORNItemNetwork* view) { FView = view; }

  int RowCount() const override;
  TFileNodeData* RowRecord(int row) const override;
  bool IsSelected(const TFileNodeData* record) const override;
  void ClearSelection() override;
  void SetSelected(TFileNodeData* record, bool selected) override;
  void SetSelection(const std::vector<TSelectionChange>& changes) override;
  QPixmap Icon(int imageIndex) const override;

 private:
  void SelectionMayHaveChanged();
  void RowsAboutToBeRemoved(int first, int last);
  void RefreshSelectedRows() const;

  TFileListModel* FModel;
  QItemSelectionModel* FSelection;
  const TImageList* FImages;
  TVORNItemNetwork* FView = nullptr;
  mutable std::vector<char> FSelectedRows;  // per row, valid while !FSelectedRowsStale
  mutable bool FSelectedRowsStale = true;
  mutable std::vector<QPixmap> FIcons;  // made once per file type; indexes never change
};
