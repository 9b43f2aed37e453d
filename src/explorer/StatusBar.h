#pragma once

#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>

// The window's status bar: a fixed row of four panels from the left, drawn in the office-like
// dark style.
//
//   panel 0  status text (every status message of the program), in a QLabel "StatusPanel0"
//   panel 1  owner-drawn: the owner lays its progress bar over it (OnDrawPanel)
//   panel 2  "Cancel", drawn as a button, in a QLabel "StatusPanel2"
//   panel 3  owner-drawn, left empty
//
// Any mouse press on the bar, on whichever panel or child it lands, calls OnClick: the bar is
// the one control that stays usable while the rest of the window is disabled for a long
// operation, so it must not be placed inside the panel that gets disabled.
class TStatusBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 26;
  static constexpr int kPanelCount = 4;
  static constexpr std::array<int, kPanelCount> kPanelWidths = {560, 100, 80, 20};

  explicit TStatusBar(QWidget* parent = nullptr);

  QString StatusText() const;
  void SetStatusText(const QString& text);

  int PanelWidth(int panel) const;
  QRect PanelRect(int panel) const;  // in the bar's coordinates, full bar height

  std::function<void()> OnClick;                                  // StatusBarClick
  std::function<void(int panel, const QRect& rect)> OnDrawPanel;  // StatusBarDrawPanel

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlacePanels();

  QLabel* FTextPanel;
  QLabel* FCancelPanel;
};
