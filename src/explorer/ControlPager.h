#pragma once

#include <QIcon>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>

// The toolbar pager across the top of the window: a row of tabs over a stack of pages, each
// page holding captioned toolbars, in the office-like dark style (the page colour is the dark
// panel's end colour). Only the pager's look lives here; what the buttons do is the window's.

// A toolbar button: a fixed square with its glyph above a caption of up to two lines. The
// caption is painted word-wrapped, so text() stays the caption exactly as given.
class TGlyphButton : public QToolButton {
  Q_OBJECT

 public:
  static constexpr int kSize = 50;

  TGlyphButton(const QString& name, const QString& caption, const QIcon& glyph,
               QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A group of controls in one row with its caption centred below them.
class TPagerToolBar : public QWidget {
  Q_OBJECT

 public:
  TPagerToolBar(const QString& name, const QString& caption, QWidget* parent = nullptr);

  void AddWidget(QWidget* widget);
  QString Caption() const;

 private:
  QWidget* FRow;
  QLabel* FCaption;
};

class TControlPager : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 83;

  explicit TControlPager(QWidget* parent = nullptr);

  // Adds a page whose toolbars are laid out left to right; returns its index.
  int AddPage(QWidget* page, const QIcon& glyph, const QString& caption);
  void AddToolBar(QWidget* page, TPagerToolBar* toolBar);  // after the page's last toolbar

  int CurrentIndex() const;
  void SetCurrentIndex(int index);
  int PageCount() const;
  QWidget* Page(int index) const;
  QString PageCaption(int index) const;
  QTabBar* TabBar() const { return FTabs; }

 signals:
  void CurrentChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTabBar* FTabs;
  QStackedWidget* FPages;
};
