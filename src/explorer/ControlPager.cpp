#include "explorer/ControlPager.h"

#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QVBoxLayout>

#include "explorer/Colors.h"

namespace {

constexpr int kTabBarHeight = 20;
constexpr int kGlyphSize = 22;
constexpr int kCaptionPixelSize = 10;
constexpr int kMinCaptionPixelSize = 8;
constexpr int kCaptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
const QColor kPageText(0xF0, 0xF0, 0xF0);
const QColor kDisabledText(0xA0, 0xA0, 0xA0);

// Office-style "checked" and "pressed" look: a warm gradient with dark text.
const QColor kActiveTop(0xFF, 0xD8, 0x8C);
const QColor kActiveBottom(0xFF, 0xAB, 0x3F);

// The largest caption font (at most kCaptionPixelSize) at which the word-wrapped caption fits
// in box without splitting a word; the smallest tried when none does.
QFont CaptionFont(QFont font, const QString& caption, const QRect& box) {
  for (int pixels = kCaptionPixelSize; pixels >= kMinCaptionPixelSize; --pixels) {
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    bool fits = metrics.boundingRect(box, kCaptionFlags, caption).height() <= box.height();
    for (const QString& word : caption.split(QLatin1Char(' '), Qt::SkipEmptyParts))
      fits = fits && metrics.horizontalAdvance(word) <= box.width();
    if (fits) break;
  }
  return font;
}

}  // namespace

TGlyphButton::TGlyphButton(const QString& name, const QString& caption, const QIcon& glyph,
                           QWidget* parent)
    : QToolButton(parent) {
  setObjectName(name);
  setText(caption);
  setToolTip(caption);
  setIcon(glyph);
  setIconSize(QSize(kGlyphSize, kGlyphSize));
  setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  setFixedSize(kSize, kSize);
  setAutoRaise(true);
}

void TGlyphButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const bool active = isDown() || isChecked();
  if (active) {
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, kActiveTop);
    fill.setColorAt(1, kActiveBottom);
    painter.setPen(kActiveBottom.darker(130));
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, 3, 3);
  } else if (isEnabled() && underMouse()) {
    painter.setPen(QColorOf(LightenColor(kDarkPanelEndColor, 70)));
    painter.setBrush(QColorOf(LightenColor(kDarkPanelEndColor, 30)));
    painter.drawRoundedRect(frame, 3, 3);
  }
  const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
  const QRect glyphRect((width() - kGlyphSize) / 2, 2, kGlyphSize, kGlyphSize);
  icon().paint(&painter, glyphRect, Qt::AlignCenter, mode, isChecked() ? QIcon::On : QIcon::Off);

  QRect textRect(1, glyphRect.bottom() + 1, width() - 2, height() - glyphRect.bottom() - 1);
  if (popupMode() == QToolButton::InstantPopup && menu() != nullptr) {
    // The drop-down mark, right of the caption.
    const QPointF tip(width() - 5.0, height() - 7.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(!isEnabled() ? kDisabledText : active ? Qt::black : kPageText);
    painter.drawPolygon(
        QPolygonF{tip + QPointF(-3, -2), tip + QPointF(3, -2), tip + QPointF(0, 1.5)});
    textRect.adjust(0, 0, -6, 0);
  }
  painter.setFont(CaptionFont(font(), text(), textRect));
  painter.setPen(!isEnabled() ? kDisabledText : active ? Qt::black : kPageText);
  painter.drawText(textRect, kCaptionFlags, text());
}

TPagerToolBar::TPagerToolBar(const QString& name, const QString& caption, QWidget* parent)
    : QWidget(parent), FRow(new QWidget(this)), FCaption(new QLabel(caption, this)) {
  setObjectName(name);
  auto* row = new QHBoxLayout(FRow);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  QFont captionFont = FCaption->font();
  captionFont.setPixelSize(kCaptionPixelSize);
  FCaption->setFont(captionFont);
  FCaption->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
  FCaption->setObjectName(name + QStringLiteral("Caption"));
  QPalette palette = FCaption->palette();
  palette.setColor(QPalette::WindowText, QColor(0xD0, 0xD0, 0xD0));
  palette.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
  FCaption->setPalette(palette);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 1, 4, 0);
  column->setSpacing(0);
  column->addWidget(FRow);
  column->addWidget(FCaption);
}

void TPagerToolBar::AddWidget(QWidget* widget) {
  widget->setParent(FRow);
  FRow->layout()->addWidget(widget);
}

QString TPagerToolBar::Caption() const { return FCaption->text(); }

TControlPager::TControlPager(QWidget* parent)
    : QWidget(parent), FTabs(new QTabBar(this)), FPages(new QStackedWidget(this)) {
  setFixedHeight(kHeight);
  FTabs->setExpanding(false);
  FTabs->setDrawBase(false);
  FTabs->setFixedHeight(kTabBarHeight);
  FTabs->setIconSize(QSize(14, 14));
  const QColor page = QColorOf(kDarkPanelEndColor);
  const QColor bar = QColorOf(kLightPanelEndColor);
  FTabs->setStyleSheet(
      QStringLiteral("QTabBar { background: %1; }"
                     "QTabBar::tab { color: #E8E8E8; background: %2; border: none;"
                     " padding: 2px 14px 2px 10px; margin-right: 1px;"
                     " border-top-left-radius: 3px; border-top-right-radius: 3px; }"
                     "QTabBar::tab:selected { background: %3; color: #FFFFFF; }"
                     "QTabBar::tab:hover:!selected { background: %4; }")
          .arg(bar.name(), QColorOf(kLightPanelColor).name(), page.name(),
               QColorOf(LightenColor(kLightPanelColor, 25)).name()));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(FTabs);
  column->addWidget(FPages);
  connect(FTabs, &QTabBar::currentChanged, this, [this](int index) {
    FPages->setCurrentIndex(index);
    emit CurrentChanged(index);
  });
}

int TControlPager::AddPage(QWidget* page, const QIcon& glyph, const QString& caption) {
  auto* row = new QHBoxLayout(page);
  row->setContentsMargins(2, 0, 2, 0);
  row->setSpacing(0);
  row->addStretch(1);
  FPages->addWidget(page);
  return FTabs->addTab(glyph, caption);
}

void TControlPager::AddToolBar(QWidget* page, TPagerToolBar* toolBar) {
  auto* row = static_cast<QHBoxLayout*>(page->layout());
  // Toolbars stay left; the stretch added with the page keeps the last place.
  const int at = row->count() - 1;
  if (at > 0) {
    auto* separator = new QFrame(page);
    separator->setFrameShape(QFrame::VLine);
    separator->setFixedWidth(2);
    separator->setStyleSheet(
        QStringLiteral("color: %1;").arg(QColorOf(LightenColor(kDarkPanelEndColor, -30)).name()));
    row->insertWidget(at, separator);
  }
  row->insertWidget(row->count() - 1, toolBar);
}

int TControlPager::CurrentIndex() const { return FTabs->currentIndex(); }

void TControlPager::SetCurrentIndex(int index) { FTabs->setCurrentIndex(index); }

int TControlPager::PageCount() const { return FPages->count(); }

QWidget* TControlPager::Page(int index) const { return FPages->widget(index); }

QString TControlPager::PageCaption(int index) const { return FTabs->tabText(index); }

void TControlPager::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // Both ends of the toolbar gradient are the dark panel end colour: a flat page.
  painter.fillRect(rect().adjusted(0, kTabBarHeight, 0, 0), QColorOf(kDarkPanelEndColor));
  painter.fillRect(QRect(0, 0, width(), kTabBarHeight), QColorOf(kLightPanelEndColor));
}
