#include "graph/MetroItemTimeline.h"

#include "graph/TimelineLayout.h"
#include "graph/TimelineRecord.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QWidget>

namespace {

// Caches are bounded: a panel shows at most a few thousand tiles, and a cache that grew past
// this would only hold tiles long scrolled away.
constexpr std::size_t kMaxCachedTiles = 20000;

QStaticText PreparedText(const QString& text, const QFont& font) {
  QStaticText prepared(text);
  prepared.setTextFormat(Qt::PlainText);
  prepared.prepare(QTransform(), font);
  return prepared;
}

// Breaks a text into lines of at most the given width, wrapping at word boundaries where it
// can and anywhere inside a longer word (paths have no spaces), and keeps at most maxLines;
// the last kept line ends in an ellipsis when text was left over.
std::vector<QStaticText> WrapElided(const QString& text, const QFont& font, int width,
                                    int maxLines) {
  std::vector<QStaticText> lines;
  if (width <= 0 || maxLines <= 0 || text.isEmpty()) return lines;
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width);
    if (static_cast<int>(lines.size()) + 1 == maxLines) {
      const QString rest = text.mid(line.textStart());
      lines.push_back(
          PreparedText(QFontMetrics(font).elidedText(rest, Qt::ElideRight, width), font));
      break;
    }
    lines.push_back(PreparedText(text.mid(line.textStart(), line.textLength()), font));
  }
  layout.endLayout();
  return lines;
}

}  // namespace

TMetroVORNItemTimeline::TMetroVORNItemTimeline(QWidget* panel, TTimelineRows* rows)
    : TVORNItemTimeline(panel, rows) {
  FBandColor = QColor(200, 200, 200);
  FAxisColor = QColor(180, 180, 180);
  FWeekendColor = QColor(0, 48, 100);
  FAxisTextColor = Qt::white;
  FSubtitleColor = Qt::white;
  FPanelColor = QColor::fromRgb(kTimelineBackColor);
  FFont = QFont(QStringLiteral("Arial"), 8);
  FFont.setBold(true);
  FNameFont = FFont;
  FPathFont = FFont;
  FPathFont.setBold(false);
}

void TMetroVORNItemTimeline::ForgetRecords() {
  FTexts.clear();
  FThumbnails.clear();
  FTextWidth = -1;
}

TMetroVORNItemTimeline::TTileText& TMetroVORNItemTimeline::TextOf(const TFileNodeData& record,
                                                                  int width) {
  if (width != FTextWidth || FTexts.size() > kMaxCachedTiles) {
    FTexts.clear();
    FTextWidth = width;
  }
  auto [it, added] = FTexts.try_emplace(&record);
  if (added) {
    const QFontMetrics nameMetrics(FNameFont);
    it->second.Name = PreparedText(
        nameMetrics.elidedText(RecordNameText(record), Qt::ElideRight, width), FNameFont);
  }
  return it->second;
}

const QImage& TMetroVORNItemTimeline::ScaledThumbnail(const TFileNodeData& record,
                                                      const QImage& picture, QSize size) {
  if (FThumbnails.size() > kMaxCachedTiles) FThumbnails.clear();
  TScaled& scaled = FThumbnails[&record];
  if (scaled.Source != &picture || scaled.Picture.size() != size) {
    scaled.Source = &picture;
    scaled.Picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return scaled.Picture;
}

void TMetroVORNItemTimeline::DrawItem(QPainter& painter, TNWNode& item) {
  if (!item.TreeNode || !item.Data) return;
  TFileNodeData& record = *item.Data;
  const TEdges r = item.ScreenRect;
  const int h = r.Bottom - r.Top;

  const QColor tile = TimelineItemColor(RecordImageIndex(record), FTree->IsSelected(item.TreeNode));
  const int seenRight = std::min(r.Right, FUncoveredRight);
  painter.fillRect(QRect(r.Left, r.Top, seenRight - r.Left, h), tile);

  TEdges box{r.Left + 2, r.Top + 2, 0, r.Bottom - 2};
  box.Right = box.Left + (box.Bottom - box.Top);
  if (const QImage* thumbnail = RecordThumbnail(record)) {
    const TEdges fit = FitPictureBox(box, thumbnail->size());
    const QSize size(fit.Right - fit.Left, fit.Bottom - fit.Top);
    if (size.width() > 0 && size.height() > 0)
      painter.drawImage(QPoint(fit.Left, fit.Top), ScaledThumbnail(record, *thumbnail, size));
  } else {
    const QPixmap icon = FTree->Icon(RecordImageIndex(record));
    if (!icon.isNull()) painter.drawPixmap(QPoint(r.Left + 4, r.Top + 4), icon);
    if (OnThumbnailNeeded) OnThumbnailNeeded(this, &record);
  }

  if (FItemWidth <= kTimelineMinItemSide) return;
  const int textLeft = r.Left + h;
  const int textWidth = r.Right - 4 - textLeft;
  if (textWidth <= 0 || seenRight <= textLeft) return;
  TTileText& text = TextOf(record, textWidth);
  painter.setPen(Qt::white);
  painter.setFont(FNameFont);
  painter.drawStaticText(QPoint(textLeft, r.Top + 4), text.Name);

  // The path wraps into the lines that fit below the name; the last shown line ends in an
  // ellipsis when more of the path is left.
  const int pathTop = r.Top + 22;
  const int pathHeight = r.Bottom - 4 - pathTop;
  const QFontMetrics pathMetrics(FPathFont);
  const int lineSpacing = std::max(pathMetrics.lineSpacing(), 1);
  if (!text.PathDone) {
    text.PathLines =
        WrapElided(RecordPathText(record), FPathFont, textWidth, pathHeight / lineSpacing);
    text.PathDone = true;
  }
  if (text.PathLines.empty()) return;
  painter.setPen(FSubtitleColor);
  painter.setFont(FPathFont);
  int y = pathTop;
  for (const QStaticText& line : text.PathLines) {
    painter.drawStaticText(QPoint(textLeft, y), line);
    y += lineSpacing;
  }
}
