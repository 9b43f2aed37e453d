#include "explorer/StatusBar.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include "explorer/Colors.h"

namespace {

constexpr int kTextIndent = 6;

QLabel* MakePanelLabel(QWidget* parent, const char* name, Qt::Alignment alignment) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(alignment);
  // Clicks fall through to the bar, which treats every press alike.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::white);
  label->setPalette(palette);
  return label;
}

}  // namespace

TStatusBar::TStatusBar(QWidget* parent)
    : QWidget(parent),
      FTextPanel(MakePanelLabel(this, "StatusPanel0", Qt::AlignVCenter | Qt::AlignLeft)),
      FCancelPanel(MakePanelLabel(this, "StatusPanel2", Qt::AlignCenter)) {
  setObjectName(QStringLiteral("StatusBar"));
  setFixedHeight(kHeight);
  setMinimumWidth(PanelRect(kPanelCount - 1).right() + 1);
  FCancelPanel->setText(QStringLiteral("Cancel"));
  FTextPanel->setTextFormat(Qt::PlainText);
  PlacePanels();
}

QString TStatusBar::StatusText() const { return FTextPanel->text(); }

void TStatusBar::SetStatusText(const QString& text) { FTextPanel->setText(text); }

int TStatusBar::PanelWidth(int panel) const {
  return kPanelWidths.at(static_cast<std::size_t>(panel));
}

QRect TStatusBar::PanelRect(int panel) const {
  int left = 0;
  for (int i = 0; i < panel; ++i) left += PanelWidth(i);
  return QRect(left, 0, PanelWidth(panel), kHeight);
}

void TStatusBar::PlacePanels() {
  FTextPanel->setGeometry(PanelRect(0).adjusted(kTextIndent, 1, -2, -1));
  FCancelPanel->setGeometry(PanelRect(2).adjusted(2, 2, -2, -2));
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlacePanels();
}

void TStatusBar::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QLinearGradient light(0, 0, 0, height());
  light.setColorAt(0, QColorOf(kLightPanelColor));
  light.setColorAt(1, QColorOf(kLightPanelEndColor));
  painter.fillRect(rect(), light);

  // Panel separators: a dark line and a light one, as engraved grooves.
  for (int panel = 1; panel < kPanelCount; ++panel) {
    const int x = PanelRect(panel).left();
    painter.setPen(QColorOf(kLightPanelEndColor).darker(150));
    painter.drawLine(x - 1, 3, x - 1, height() - 4);
    painter.setPen(QColorOf(LightenColor(kLightPanelColor, 30)));
    painter.drawLine(x, 3, x, height() - 4);
  }

  // The Cancel panel as a button of the dark panel style.
  const QRect button = PanelRect(2).adjusted(2, 2, -2, -2);
  QLinearGradient dark(0, button.top(), 0, button.bottom());
  dark.setColorAt(0, QColorOf(LightenColor(kDarkPanelEndColor, 40)));
  dark.setColorAt(1, QColorOf(kDarkPanelEndColor));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColorOf(LightenColor(kDarkPanelEndColor, -40)));
  painter.setBrush(dark);
  painter.drawRoundedRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  painter.end();

  if (OnDrawPanel) {
    OnDrawPanel(1, PanelRect(1));
    OnDrawPanel(3, PanelRect(3));
  }
}

void TStatusBar::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (OnClick) OnClick();
}
