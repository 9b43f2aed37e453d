#include "explorer/TimelineRowsAdapter.h"

#include <QItemSelectionModel>

#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/ImageList.h"
#include "graph/ItemNetwork.h"

namespace {

// The list's small icons, as the list shows them.
constexpr int kIconSide = 16;

}  // namespace

TTimelineRowsAdapter::TTimelineRowsAdapter(TFileListView* list, const TImageList* images)
    : FModel(list->Model()), FSelection(list->selectionModel()), FImages(images) {
  connect(FSelection, &QItemSelectionModel::selectionChanged, this,
          [this] { SelectionMayHaveChanged(); });
  connect(FModel, &QAbstractItemModel::rowsAboutToBeRemoved, this,
          [this](const QModelIndex&, int first, int last) { RowsAboutToBeRemoved(first, last); });
  connect(FModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    if (FView) FView->Clear();
  });
  // Rows that move or come and go leave the per-row copy of the selection out of date, and
  // the selection model does not report a change for them.
  for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
    connect(FModel, signal, this, [this] { FSelectedRowsStale = true; });
  connect(FModel, &QAbstractItemModel::modelReset, this, [this] { FSelectedRowsStale = true; });
  connect(FModel, &QAbstractItemModel::layoutChanged, this, [this] { FSelectedRowsStale = true; });
}

TTimelineRowsAdapter::~TTimelineRowsAdapter() = default;

void TTimelineRowsAdapter::SelectionMayHaveChanged() {
  FSelectedRowsStale = true;
  if (FView) FView->SelectionChanged();
}

void TTimelineRowsAdapter::RowsAboutToBeRemoved(int first, int last) {
  if (!FView) return;
  std::vector<const TFileNodeData*> records;
  records.reserve(static_cast<std::size_t>(last - first + 1));
  for (int row = first; row <= last; ++row) {
    if (const TFileNodeData* record = FModel->Record(row)) records.push_back(record);
  }
  FView->RemoveItemsOf(records);
}

int TTimelineRowsAdapter::RowCount() const { return FModel->rowCount(); }

TFileNodeData* TTimelineRowsAdapter::RowRecord(int row) const { return FModel->Record(row); }

void TTimelineRowsAdapter::RefreshSelectedRows() const {
  FSelectedRows.assign(static_cast<std::size_t>(FModel->rowCount()), 0);
  for (const QItemSelectionRange& range : FSelection->selection()) {
    if (!range.isValid()) continue;
    const int top = std::max(range.top(), 0);
    const int bottom = std::min(range.bottom(), static_cast<int>(FSelectedRows.size()) - 1);
    for (int row = top; row <= bottom; ++row) FSelectedRows[static_cast<std::size_t>(row)] = 1;
  }
  FSelectedRowsStale = false;
}

bool TTimelineRowsAdapter::IsSelected(const TFileNodeData* record) const {
  const int row = FModel->RowOf(record);
  if (row < 0) return false;
  if (FSelectedRowsStale) RefreshSelectedRows();
  return static_cast<std::size_t>(row) < FSelectedRows.size() &&
         FSelectedRows[static_cast<std::size_t>(row)] != 0;
}

void TTimelineRowsAdapter::ClearSelection() { FSelection->clearSelection(); }

void TTimelineRowsAdapter::SetSelected(TFileNodeData* record, bool selected) {
  const int row = FModel->RowOf(record);
  if (row < 0) return;
  const QItemSelection rowRange(FModel->index(row, 0),
                                FModel->index(row, FModel->columnCount() - 1));
  FSelection->select(rowRange,
                     selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void TTimelineRowsAdapter::SetSelection(const std::vector<TSelectionChange>& changes) {
  // The wanted state of every row: named rows as asked, the others as they are.
  if (FSelectedRowsStale) RefreshSelectedRows();
  std::vector<char> wanted = FSelectedRows;
  for (const TSelectionChange& change : changes) {
    const int row = FModel->RowOf(change.Record);
    if (row >= 0) wanted[static_cast<std::size_t>(row)] = change.Selected ? 1 : 0;
  }
  if (wanted == FSelectedRows) return;

  // One range per run of selected rows, each spanning every column.
  QItemSelection selection;
  const int lastColumn = FModel->columnCount() - 1;
  const int rows = static_cast<int>(wanted.size());
  for (int row = 0; row < rows;) {
    if (!wanted[static_cast<std::size_t>(row)]) {
      ++row;
      continue;
    }
    const int top = row;
    while (row < rows && wanted[static_cast<std::size_t>(row)]) ++row;
    selection.append(
        QItemSelectionRange(FModel->index(top, 0), FModel->index(row - 1, lastColumn)));
  }
  // Emptied first, so the model compares the new ranges with an empty selection instead of
  // range by range with the old one.
  FSelection->clearSelection();
  if (!selection.isEmpty()) FSelection->select(selection, QItemSelectionModel::Select);
}

QPixmap TTimelineRowsAdapter::Icon(int imageIndex) const {
  if (!FImages || imageIndex < 0 || imageIndex >= FImages->Count()) return {};
  const auto index = static_cast<std::size_t>(imageIndex);
  if (index >= FIcons.size()) FIcons.resize(index + 1);
  if (FIcons[index].isNull()) FIcons[index] = FImages->Icon(imageIndex).pixmap(kIconSide);
  return FIcons[index];
}
