#pragma once

#include "explorer/FileNodeData.h"

#include <QTreeView>

#include <functional>
#include <vector>

class TFileListModel;

// The file list: a flat, multi-column report of the listed files over a TFileListModel that it
// creates and owns. Rows are whole-row selected (several at once); a left click on a column
// header sorts by that column (again: reverses), a double-click opens the first selected file.
//
// Built for a million rows: every row has the same height (RowHeight, changed as a whole by the
// thumbnail mode), cells are painted straight from the records, and the selection is read from
// its ranges, never row by row.
class TFileListView : public QTreeView {
  Q_OBJECT

 public:
  explicit TFileListView(QWidget* parent = nullptr);
  ~TFileListView() override;

  TFileListModel* Model() const;

  // A header click. Only the left button acts: a new column sorts ascending, the sort column
  // flips its direction, and the sort column's cells get the sort background.
  void HeaderClick(int column, Qt::MouseButton button);

  int SelectedCount() const;
  TFileNodeData* FirstSelected() const;  // in list order; nullptr when nothing is selected
  std::vector<TFileNodeData*> SelectedRecords() const;  // in list order

  // Stops painting the list during bulk changes (a scan, a digest pass); resuming repaints it.
  void SetRepaintSuspended(bool suspended);
  bool RepaintSuspended() const;

  // The height of every row in pixels; 19 until the thumbnail mode changes it.
  void SetRowHeight(int height);
  int RowHeight() const;

  // Called with the path of the first selected row on a double-click. Opens the file with the
  // desktop's default application unless replaced.
  std::function<void(const QByteArray& path)> OnOpenFile;
  // Called for every painted cell of the Thumbnail column, after the cell's background and
  // selection are drawn (so a picture stays visible on a selected row) and before the rest.
  std::function<void(QPainter*, TFileNodeData*, const QRect&)> OnBeforeCellPaint;

  // Lays out every row, so it is held back while repainting is suspended: a scan appending
  // batches would otherwise pay for the whole list once per batch.
  void doItemsLayout() override;

  static constexpr int kDefaultRowHeight = 19;
  static constexpr int kHeaderHeight = 22;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // The selected rows as sorted, disjoint [first, last] row ranges.
  std::vector<std::pair<int, int>> SelectedRowRanges() const;
  void KeepMinimumWidth(int column, int newSize);

  TFileListModel* FModel;
  int FRowHeight = kDefaultRowHeight;
  bool FRepaintSuspended = false;
  bool FLayoutPending = false;
};
