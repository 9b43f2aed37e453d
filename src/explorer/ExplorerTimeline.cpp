// The timeline page: the view on VisViewPanel, its track bars, the wheel, and the commands that
// move between the list and the timeline. The list's selection is the timeline's selection.

#include <QLayout>
#include <QWheelEvent>

#include "controls/SplitterWnd.h"
#include "explorer/ControlPager.h"
#include "explorer/FileListModel.h"
#include "explorer/FileListView.h"
#include "explorer/ImageList.h"
#include "explorer/TimelineRowsAdapter.h"
#include "explorer/UniversalExplorerUnit.h"
#include "graph/VeskoraXGraphUtils.h"

namespace {

constexpr int kExplorePage = 0;
constexpr int kTimelinePage = 1;

}  // namespace

void TUniversalExplorerForm::CreateTimeline() {
  FTimelineRows = std::make_unique<TTimelineRowsAdapter>(FileListView, FileImageList.get());
  FTimeline = std::make_unique<TMetroVORNItemTimeline>(VisViewPanel, FTimelineRows.get());
  FTimelineRows->SetView(FTimeline.get());
  FTimelineTrackBars = std::make_unique<TTimelineTrackBars>(FTimeline.get(), timelineScaleTrackBar,
                                                            timelineSizeTrackbar);
}

void TUniversalExplorerForm::DestroyTimeline() {
  FTimelineTrackBars.reset();
  if (FTimelineRows) FTimelineRows->SetView(nullptr);
  FTimeline.reset();
  FTimelineRows.reset();
}

void TUniversalExplorerForm::TimelineThumbnailNeeded(TFileNodeData* /*record*/) {
  // RequestThumbnail(record) goes here once the thumbnail workers exist.
}

void TUniversalExplorerForm::timelineScaleTrackBarChange() {
  // The bars are set up before the view exists; their start positions never act by themselves.
  if (FTimelineTrackBars) FTimelineTrackBars->ScaleChange();
}

void TUniversalExplorerForm::timelineSizeTrackbarChange() {
  if (FTimelineTrackBars) FTimelineTrackBars->ItemSizeChange();
}

void TUniversalExplorerForm::FormMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta,
                                            bool& handled) {
  if (FTimelineTrackBars && FTimelineTrackBars->MouseWheel(shift, wheelDelta)) handled = true;
}

void TUniversalExplorerForm::wheelEvent(QWheelEvent* event) {
  // Reaches the window only where no control took the wheel: over the toolbars, the pager and
  // the panels. The folder tree keeps scrolling; the panel and the bars route their own wheel.
  bool handled = false;
  FormMouseWheel(event->modifiers(), event->angleDelta().y(), handled);
  if (handled) {
    event->accept();
  } else {
    QMainWindow::wheelEvent(event);
  }
}

void TUniversalExplorerForm::visSelectStartMnuClick() { FTimeline->ToggleSelectMode(); }

void TUniversalExplorerForm::visZoomToFitMnuClick() { FTimeline->ZoomToFit(true, false); }

void TUniversalExplorerForm::visShowSelInListViewMnuClick() {
  MainControlBar->SetCurrentIndex(kExplorePage);
  const TFileNodeData* first = FileListView->FirstSelected();
  if (!first) return;
  // The list was hidden: give it its size now, so that centring uses the real viewport.
  if (QLayout* layout = VisPane->layout()) layout->activate();
  const TFileListModel* model = FileListView->Model();
  FileListView->scrollTo(model->index(model->RowOf(first), 0), QAbstractItemView::PositionAtCenter);
}

void TUniversalExplorerForm::fileShowSelInTimelineViewMnuClick() {
  MainControlBar->SetCurrentIndex(kTimelinePage);
  if (QLayout* layout = VisPane->layout()) layout->activate();
  FTimeline->ZoomToFit(true, true);
}
