// "Show Hashes" and "Select Dupes": starting the two row passes of the background thread and
// taking their digests and selections on the interface thread.

#include <QCoreApplication>
#include <QItemSelection>
#include <QItemSelectionModel>

#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/UEEvents.h"
#include "explorer/UniversalExplorerUnit.h"

namespace {

// The rows of the list in their current order: what a pass walks.
std::vector<TFileNodeData*> RowsInListOrder(const TFileListModel& model) {
  std::vector<TFileNodeData*> rows;
  rows.reserve(static_cast<std::size_t>(model.rowCount()));
  for (int row = 0; row < model.rowCount(); ++row) rows.push_back(model.Record(row));
  return rows;
}

// Whole-row ranges for the given records, skipping records that are no longer listed.
QItemSelection RowSelection(const TFileListModel& model,
                            const std::vector<TFileNodeData*>& records) {
  QItemSelection selection;
  const int lastColumn = model.columnCount() - 1;
  for (const TFileNodeData* record : records) {
    const int row = model.RowOf(record);
    if (row >= 0) selection.select(model.index(row, 0), model.index(row, lastColumn));
  }
  return selection;
}

std::unique_ptr<TUEBackThread> MakePass(TBackThreadMode mode, QObject* window,
                                        TCancelledState* cancel, std::vector<TFileNodeData*> rows) {
  return std::make_unique<TUEBackThread>(mode, window, QByteArray(), false, false, false, false,
                                         nullptr, nullptr, 0, nullptr, kAllFileTypes, cancel,
                                         std::move(rows));
}

}  // namespace

void TUniversalExplorerForm::showHashesBtnClick() {
  // Releasing the button leaves the digests in the rows and in the column.
  if (showHashesBtn->isChecked()) GetMD5Hashes();
}

void TUniversalExplorerForm::selectDupesBtnClick() { HighlightDuplicates(); }

void TUniversalExplorerForm::GetMD5Hashes() {
  if (FTaskRunning) return;
  RunBackgroundTask(
      btmHashes,
      MakePass(btmHashes, this, FCancelState.get(), RowsInListOrder(*FileListView->Model())),
      QStringLiteral("Getting MD5 Hashes..."));
  // Batches posted just before the worker ended are taken now, before the caller goes on.
  QCoreApplication::sendPostedEvents(this, WM_UE_DIGESTBATCH);
}

void TUniversalExplorerForm::HighlightDuplicates() {
  if (FTaskRunning) return;
  const TFileListModel& model = *FileListView->Model();
  std::vector<TFileNodeData*> rows = RowsInListOrder(model);
  // The worker reads the digests from this snapshot, never from the records, which only the
  // interface thread writes.
  std::vector<std::optional<TDigest>> known;
  known.reserve(rows.size());
  for (const TFileNodeData* record : rows)
    known.push_back(record->HasDigest ? std::optional<TDigest>(record->Digest) : std::nullopt);
  // Whatever the user had selected is gone; the pass selects anew.
  FileListView->selectionModel()->clearSelection();
  auto thread = MakePass(btmDuplicates, this, FCancelState.get(), std::move(rows));
  thread->SetKnownDigests(std::move(known));
  RunBackgroundTask(btmDuplicates, std::move(thread),
                    QStringLiteral("Highlighting Duplicate Files..."));
  QCoreApplication::sendPostedEvents(this, WM_UE_DIGESTBATCH);
}

void TUniversalExplorerForm::customEvent(QEvent* event) {
  if (static_cast<int>(event->type()) == WM_UE_DIGESTBATCH) {
    if (std::unique_ptr<TDigestBatch> batch = static_cast<TUEDigestBatchEvent*>(event)->Take())
      ApplyDigestBatch(*batch);
    return;
  }
  QMainWindow::customEvent(event);
}

void TUniversalExplorerForm::ApplyDigestBatch(TDigestBatch& batch) {
  TFileListModel& model = *FileListView->Model();
  for (const auto& [record, digest] : batch.Digests) {
    const int row = model.RowOf(record);
    if (row < 0) continue;
    if (digest)
      record->SetDigest(*digest);
    else
      record->ClearHash();
    model.RecordChanged(row, fcHash);
  }
  QItemSelectionModel* selection = FileListView->selectionModel();
  if (!batch.Deselect.empty())
    selection->select(RowSelection(model, batch.Deselect), QItemSelectionModel::Deselect);
  if (!batch.Select.empty())
    selection->select(RowSelection(model, batch.Select), QItemSelectionModel::Select);
}
