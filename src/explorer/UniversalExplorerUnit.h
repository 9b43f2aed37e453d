#pragma once

#include <QByteArray>
#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>

#include "explorer/BackThread.h"
#include "explorer/CancelledState.h"
#include "explorer/FileTypeIndex.h"
#include "explorer/ProgressClock.h"

class QAction;
class QComboBox;
class QMenu;
class QProgressBar;
class QSlider;
class QFileSystemModel;
class QTreeView;
class TControlPager;
class TFileListView;
class TGlyphButton;
class TImageList;
class TMetroVORNItemTimeline;
class TTimelineRowsAdapter;
class TTimelineTrackBars;
struct TFileNodeData;
class TPagerToolBar;
struct TScanBatch;
class TPane;
class TSplashBox;
class TSplitterWnd;
class TStatusBar;
class TStringIntIndex;

// What ProcessSelectedFiles does with each selected file.
enum TSelectedFilesAction : std::uint8_t { sfaCopy = 0, sfaDelete = 1 };

// The program's one window. It creates at start every object that the file work and the
// timeline need, lays out the folder pane, the file list, the timeline panel, the two toolbar
// pages and the status bar, and tears all of it down again at close. Every long operation is
// started from one of its handlers.
//
// Ownership: the window owns every long-lived object below and frees them in a fixed order
// (the destructor); the file list owns its rows' records.
//
// While a long operation runs, MainPanel is disabled, which disables every control except the
// status bar: a click anywhere on the status bar sets the cancel flag. At most one background
// task runs at a time; the window waits for it with its event loop running, so it repaints,
// takes the worker's progress and rows, and answers the Cancel panel meanwhile. A close
// request during a task lets the task end normally and closes the window afterwards.
class TUniversalExplorerForm : public QMainWindow {
  Q_OBJECT

 public:
  // The client area: the window's classic 1000 x 590 outer size less a 4-pixel frame and a
  // 30-pixel caption.
  static constexpr int kClientWidth = 992;
  static constexpr int kClientHeight = 556;

  explicit TUniversalExplorerForm(QWidget* parent = nullptr);
  ~TUniversalExplorerForm() override;  // FormDestroy

  // Text of status panel 0.
  QString StatusText() const;
  void SetStatusText(const QString& text);

  // The folder chosen in the folder tree (raw bytes, ending with "/"), empty when none.
  QByteArray SelectedFolder() const;

  TCancelledState* CancelState() const { return FCancelState.get(); }

  // Page change of the toolbar pager: the file list shows exactly on page 0 ("Explore"), the
  // timeline panel exactly on page 1 ("Timeline").
  void MainControlBarTabChanged(int index);

  // The status bar's events.
  void StatusBarClick();
  void StatusBarDrawPanel(int panel, const QRect& rect);

  // Runs one background task to its end: clears the cancel flag, disables MainPanel, shows
  // `caption`, starts the thread and waits for it with the event loop running; then (scan)
  // takes the thread's byte total and resumes the list's repainting, and in every case, also
  // when the worker failed, frees the thread and restores the window with the closing
  // "Viewing ..." text. `mode` is the thread's mode. Does nothing while a task runs already.
  void RunBackgroundTask(TBackThreadMode mode, std::unique_ptr<TUEBackThread> thread,
                         const QString& caption);
  bool TaskRunning() const { return FTaskRunning; }

  // The worker's notices, on the interface thread (posted as WM_UE_PROGRESS and
  // WM_UE_SCANBATCH; event() dispatches them here).
  void WMUEProgress(std::int64_t done, std::int64_t total);
  void ApplyScanBatch(TScanBatch& batch);

  // The six marks of FileTypePopup, in category order.
  TTypeFilter CheckedFileTypes() const;

  // Handlers of the toolbars, menus and the folder tree.
  void rcFoldersBtnClick();
  void showHashesBtnClick();
  void showThumbsBtnClick();
  void selectDupesBtnClick();
  void selectAllBtnClick();
  void cpToClipboardBtnClick();
  void copyCheckedBtnClick();
  void deleteCheckedBtnClick();
  void srchBtnClick(int tag);  // tag 0: "Find First", 1: "Find Next"
  void fileShowThumbnailsMnuClick();
  void fileShowSelInTimelineViewMnuClick();
  void visSelectStartMnuClick();
  void visZoomToFitMnuClick();
  void visShowSelInListViewMnuClick();
  void visShowThumbnailsMnuClick();
  void FileTreeViewClick();
  void timelineScaleTrackBarChange();
  void timelineSizeTrackbarChange();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;  // FormClose
  void showEvent(QShowEvent* event) override;

 private:
  // The controls, built by CreateControls.
  void CreateControls();
  void CreateToolBarPages();
  void CreatePopupMenus();
  void CreateFolderPane();
  void CreateViewPane();
  void DriveComboChange(int index);
  void ApplyStyleColours();
  void CenterOnScreen();
  void FinishBackgroundTask(std::unique_ptr<TUEBackThread>& thread);

  TGlyphButton* AddGlyphButton(TPagerToolBar* toolBar, const char* name, const QString& caption,
                               int glyph, bool checkable);
  QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, int glyph);

 public:
  // Controls, named as their objectName. Owned through Qt's parent chain.
  QWidget* MainPanel = nullptr;
  TControlPager* MainControlBar = nullptr;
  QWidget* FilesTBPage = nullptr;
  QWidget* VisPage = nullptr;
  TPagerToolBar* filesToolBar = nullptr;
  TPagerToolBar* ActToolBar = nullptr;
  TPagerToolBar* SrchToolBar = nullptr;
  TPagerToolBar* TimelineViewToolBar = nullptr;
  TGlyphButton* rcFoldersBtn = nullptr;
  TGlyphButton* showHiddenBtn = nullptr;
  TGlyphButton* showProtectedBtn = nullptr;
  TGlyphButton* showOSFoldersBtn = nullptr;
  TGlyphButton* fileTypeFilterBtn = nullptr;
  TGlyphButton* showHashesBtn = nullptr;
  TGlyphButton* showThumbsBtn = nullptr;
  TGlyphButton* selectDupesBtn = nullptr;
  TGlyphButton* selectAllBtn = nullptr;
  TGlyphButton* cpToClipboardBtn = nullptr;
  TGlyphButton* copyCheckedBtn = nullptr;
  TGlyphButton* deleteCheckedBtn = nullptr;
  QComboBox* srchCombo = nullptr;
  TGlyphButton* firstSrchBtn = nullptr;
  TGlyphButton* nextSrchBtn = nullptr;
  QSlider* timelineScaleTrackBar = nullptr;
  QSlider* timelineSizeTrackbar = nullptr;
  TSplitterWnd* MainSplitPanel = nullptr;
  TPane* TVPane = nullptr;
  TPane* VisPane = nullptr;
  QComboBox* driveCombo = nullptr;
  QTreeView* FileTreeView = nullptr;
  QFileSystemModel* FileTreeModel = nullptr;
  TFileListView* FileListView = nullptr;
  QWidget* VisViewPanel = nullptr;
  TStatusBar* StatusBar = nullptr;
  QMenu* FileListPopup = nullptr;
  QMenu* VisPopup = nullptr;
  QMenu* FileTypePopup = nullptr;
  QAction* fileShowThumbnailsMnu = nullptr;
  QAction* visShowThumbnailsMnu = nullptr;

  // The file-type filter items, in category order.
  static constexpr int kFileTypeCount = ::kFileTypeCount;
  QAction* FileTypeItems[kFileTypeCount] = {};

  // FileImageList: icons of the file types met by scans; the list's and the timeline's images.
  std::unique_ptr<TImageList> FileImageList;

  // Timeline
  // FTimeline draws the file list on VisViewPanel. FTimelineRows is the list as the timeline's
  // rows and keeps the view in step with the list's selection and rows; FTimelineTrackBars
  // applies the Scale and Item Size bars and the wheel. Freed before everything else, the view
  // before the rows it reads.
  std::unique_ptr<TTimelineRowsAdapter> FTimelineRows;
  std::unique_ptr<TMetroVORNItemTimeline> FTimeline;
  std::unique_ptr<TTimelineTrackBars> FTimelineTrackBars;
  // The window's wheel, wherever no control used it: zooms the timeline while it shows.
  void FormMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta, bool& handled);
  // A tile drawn without a thumbnail asks for one.
  void TimelineThumbnailNeeded(TFileNodeData* record);
  void CreateTimeline();
  void DestroyTimeline();

 protected:
  void wheelEvent(QWheelEvent* event) override;

 public:

  // Fields that are not controls.
  std::unique_ptr<TStringIntIndex> FIconIndex;      // extension -> FileImageList index
  std::unique_ptr<TStringIntIndex> FOSFolderIndex;  // system folders a scan skips
  std::unique_ptr<TCancelledState> FCancelState;
  std::unique_ptr<TFileTypeIndex> FFileTypeIndex;  // extension -> category, filled at start
  TTypeFilter FTypeFilter = kAllFileTypes;         // the categories the next scan lists
  std::unique_ptr<TSplashBox> FSplash;
  bool FSplashShown = false;
  QProgressBar* FProgressBar = nullptr;  // laid over status panel 1; freed by the window
  std::int64_t FTotalBytes = 0;
  // FTaskCaption, FTaskStart and FLastProgress of the progress display.
  TProgressClock FProgressClock;
  bool FTaskRunning = false;
  bool FCloseRequested = false;          // the window closes once the running task has ended
  TFileNodeData* FSearchNode = nullptr;  // record where "Find Next" resumes

  // Digests, file operations, search
 public:
  // The two row passes of the background thread, with their captions.
  void GetMD5Hashes();
  void HighlightDuplicates();
  // Writes a pass's digests into the records and applies its selection changes.
  void ApplyDigestBatch(TDigestBatch& batch);
  // Copies (into `folder`, raw bytes) or trashes the selected files, on the interface thread.
  void ProcessSelectedFiles(TSelectedFilesAction action, const QByteArray& folder);

  // The two questions of the file commands; tests replace them. The folder is empty when the
  // user cancels the dialog.
  std::function<QString()> OnAskCopyFolder;
  std::function<bool()> OnConfirmDelete;

 protected:
  void customEvent(QEvent* event) override;

 private:
  // Keeps FSearchNode off rows that leave the list; called once from the constructor.
  void WatchSearchNode();
  // The end of a long operation on the interface thread: the closing text and a restored window.
  void FinishInterfaceTask();
};
