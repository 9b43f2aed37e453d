#pragma once

#include <QPixmap>

#include <cstdint>
#include <vector>

struct TFileNodeData;

// One row's wanted selection state in a batched selection change.
struct TSelectionChange {
  TFileNodeData* Record = nullptr;
  bool Selected = false;
};

// The file list as the timeline sees it. The timeline keeps no selection of its own: it reads
// and changes the list's selection through this interface, and the window that implements it
// calls the view's SelectionChanged() whenever the list's selection changes, so both sides
// show the same rows selected at all times.
//
// A row is identified by its record: the list owns the records, and a record's address stays
// the same for as long as its row is listed. The window must tell the view about records it is
// about to free (RemoveItemsOf or Clear) before freeing them.
//
// Every call is made on the interface thread.
class TTimelineRows {
 public:
  virtual ~TTimelineRows() = default;

  virtual int RowCount() const = 0;
  // The record of a row, rows counted in the list's current order; never null.
  virtual TFileNodeData* RowRecord(int row) const = 0;

  virtual bool IsSelected(const TFileNodeData* record) const = 0;
  virtual void ClearSelection() = 0;
  virtual void SetSelected(TFileNodeData* record, bool selected) = 0;
  // Sets every named row to its given state in one change; rows not named keep theirs. A band
  // selection may name every row of the list, so this must not cost more than one pass.
  virtual void SetSelection(const std::vector<TSelectionChange>& changes) = 0;

  // The small icon of a file type, or a null pixmap when there is none.
  virtual QPixmap Icon(int imageIndex) const = 0;
};
