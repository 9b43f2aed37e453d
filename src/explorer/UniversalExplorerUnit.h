#pragma once

#include <QByteArray>
#include <QMainWindow>

#include <cstdint>
#include <memory>

#include "explorer/CancelledState.h"

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
struct TFileNodeData;
class TPagerToolBar;
class TPane;
class TSplashBox;
class TSplitterWnd;
class TStatusBar;
class TStringIntIndex;

// The program's one window. It creates at start every object that the file work and the
// timeline need, lays out the folder pane, the file list, the timeline panel, the two toolbar
// pages and the status bar, and tears all of it down again at close. Every long operation is
// started from one of its handlers.
//
// Ownership: the window owns every long-lived object below and frees them in a fixed order
// (the destructor); the file list owns its rows' records.
//
// While a long operation runs, MainPanel is disabled, which disables every control except the
// status bar: a click anywhere on the status bar sets the cancel flag.
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

  // The folder chosen in the folder tree (raw bytes), empty when none.
  QByteArray SelectedFolder() const;

  TCancelledState* CancelState() const { return FCancelState.get(); }

  // Page change of the toolbar pager: the file list shows exactly on page 0 ("Explore"), the
  // timeline panel exactly on page 1 ("Timeline").
  void MainControlBarTabChanged(int index);

  // The status bar's events.
  void StatusBarClick();
  void StatusBarDrawPanel(int panel, const QRect& rect);

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
  static constexpr int kFileTypeCount = 6;
  QAction* FileTypeItems[kFileTypeCount] = {};

  // FileImageList: icons of the file types met by scans; the list's and the timeline's images.
  std::unique_ptr<TImageList> FileImageList;

  // Fields that are not controls.
  std::unique_ptr<TStringIntIndex> FIconIndex;      // extension -> FileImageList index
  std::unique_ptr<TStringIntIndex> FOSFolderIndex;  // system folders a scan skips
  std::unique_ptr<TCancelledState> FCancelState;
  std::unique_ptr<TSplashBox> FSplash;
  bool FSplashShown = false;
  QProgressBar* FProgressBar = nullptr;  // laid over status panel 1; freed by the window
  std::int64_t FTotalBytes = 0;
  QString FTaskCaption;
  std::int64_t FTaskStart = 0;  // ms since 1970 UTC
  std::int32_t FLastProgress = 0;
  TFileNodeData* FSearchNode = nullptr;  // record where "Find Next" resumes
};
