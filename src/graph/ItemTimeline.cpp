#include "graph/ItemTimeline.h"

#include "graph/TimelineLayout.h"
#include "graph/TimelineRecord.h"
#include "graph/TimelineTicks.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace {

TTLNode& AsTimelineItem(TNWNode& item) { return static_cast<TTLNode&>(item); }

std::int64_t PaddedTime(std::int64_t time) {
  constexpr std::int64_t kLatest = std::numeric_limits<std::int64_t>::max();
  return time > kLatest - kTimelineTimePad ? kLatest : time + kTimelineTimePad;
}

// The first separator character of a locale's format, or the fallback.
QChar SeparatorOf(const QString& format, QChar fallback) {
  for (const QChar c : format) {
    if (!c.isLetter() && c != u'\'' && !c.isSpace()) return c;
  }
  return fallback;
}

}  // namespace

TVORNItemTimeline::TVORNItemTimeline(QWidget* panel, TTimelineRows* rows)
    : TVORNItemNetwork(panel, rows) {
  FPressedItem = nullptr;
}

void TVORNItemTimeline::Rebuild(TFileNodeData*) {
  FMinTime = std::numeric_limits<std::int64_t>::max();
  FMaxTime = std::numeric_limits<std::int64_t>::min();
  Clear();

  // Sort (time, record) pairs first and make the items in time order in one block, so the
  // items that every paint walks lie in memory in the order they are walked.
  std::vector<std::pair<std::int64_t, TFileNodeData*>> rows;
  const int count = FTree->RowCount();
  rows.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int row = 0; row < count; ++row) {
    TFileNodeData* record = FTree->RowRecord(row);
    if (!record) continue;
    const std::int64_t modified = RecordModified(*record);
    if (modified == kTimelineNoTime) continue;
    rows.emplace_back(modified, record);
    FMinTime = std::min(FMinTime, modified);
    FMaxTime = std::max(FMaxTime, PaddedTime(modified));
  }
  std::sort(rows.begin(), rows.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });

  FStore.resize(rows.size());
  FItems.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    TTLNode& item = FStore[i];
    item.TreeNode = rows[i].second;
    item.Data = rows[i].second;
    item.Visible = true;
    FItems.push_back(&item);
  }
  LayoutLanes(true);
}

void TVORNItemTimeline::FreeItems() { std::vector<TTLNode>().swap(FStore); }

void TVORNItemTimeline::LayoutLanes(bool assignY) {
  const int height = FItemHeight;
  const int lanes = TimelineLaneCount(ClientHeight(), height);
  FPixelsPerMs = TimelinePixelsPerMs(FMinTime, FMaxTime, FWorldWidth);

  // Lanes are handed out round-robin in time order whatever the overlap: a staircase that
  // restarts at the top. An item that would start inside its lane's previous item moves right
  // once by 4 pixels, enough to show the edge between them; items may still overlap.
  std::vector<std::int64_t> laneEnd(static_cast<std::size_t>(lanes), -FItemWidth);
  int lane = 0;
  for (const auto& node : FItems) {
    TTLNode& item = AsTimelineItem(*node);
    if (!item.Data) continue;
    item.X = TimelineTimeToX(RecordModified(*item.Data), FMinTime, FPixelsPerMs);
    item.Width = FItemWidth;
    if (laneEnd[static_cast<std::size_t>(lane)] > item.X) item.X += 4;
    if (assignY) item.Y = TimelineLaneCentre(lane, height);
    laneEnd[static_cast<std::size_t>(lane)] = static_cast<std::int64_t>(item.X) + item.Width;
    if (++lane == lanes) lane = 0;
  }
  Invalidate();
}

void TVORNItemTimeline::SetScale(double position) {
  const int width = ClientWidth();
  const int half = width / 2;
  const double centre = std::nearbyint((static_cast<double>(FViewLeft) + half) / FPixelsPerMs);
  FWorldWidth = TimelineWorldWidth(position, width);
  LayoutLanes(false);
  FViewLeft = RoundHalfEven(centre * FPixelsPerMs) - half;
  FViewRight = width + FViewLeft;
}

void TVORNItemTimeline::Resize() {
  LayoutLanes(true);
  Invalidate();
}

bool TVORNItemTimeline::IsItemOnScreen(const TTLNode& item) const {
  return item.X <= FViewRight && FViewTop <= item.Y && item.Y <= FViewBottom &&
         static_cast<std::int64_t>(item.X) + item.Width >= FViewLeft;
}

double TVORNItemTimeline::TimeAtPanelX(int x) const {
  return static_cast<double>(FMinTime) + (static_cast<double>(FViewLeft) + x) / FPixelsPerMs;
}

void TVORNItemTimeline::Paint(QPainter& painter) {
  const int width = ClientWidth();
  const int height = ClientHeight();
  FViewRight = width + FViewLeft;
  FViewBottom = height + FViewTop;
  if (FItems.empty()) return;
  const int halfHeight = FItemHeight / 2;

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(FFont);

  // Only the earliest FMaxDrawnItems on-screen items are drawn and can be picked, so one paint
  // costs the same at any zoom; the others wait for a paint with fewer on screen.
  int onScreen = 0;
  for (const auto& node : FItems) {
    TTLNode& item = AsTimelineItem(*node);
    item.OnScreen = IsItemOnScreen(item);
    item.Visible = true;
    if (item.OnScreen && ++onScreen > FMaxDrawnItems) item.Visible = false;
  }

  PaintAxis(painter, width, height);

  FDrawn.clear();
  bool sameWidth = true;
  for (const auto& node : FItems) {
    TTLNode& item = AsTimelineItem(*node);
    if (!item.OnScreen || !item.Visible) continue;
    const int left = item.X - FViewLeft;
    const int top = item.Y - FViewTop - halfHeight;
    item.ScreenRect = {left, top, left + item.Width, top + FItemHeight};
    sameWidth = sameWidth && (FDrawn.empty() || item.Width == FDrawn.front()->Width);
    FDrawn.push_back(&item);
  }
  FindUncoveredParts(sameWidth);
  for (std::size_t i = 0; i < FDrawn.size(); ++i) {
    FUncoveredRight = FDrawnUncovered[i];
    if (FUncoveredRight > FDrawn[i]->ScreenRect.Left) DrawItem(painter, *FDrawn[i]);
  }
  FUncoveredRight = std::numeric_limits<int>::max();

  if (FSelectState == selDragging) {
    painter.setPen(QPen(FBandColor, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(FSelectRect.Left - FViewLeft, FSelectRect.Top - FViewTop,
                            FSelectRect.Right - FSelectRect.Left,
                            FSelectRect.Bottom - FSelectRect.Top)
                         .normalized());
  }
  painter.restore();
}

void TVORNItemTimeline::FindUncoveredParts(bool sameSize) {
  // Tiles of one size are opaque, and later tiles cover earlier ones. A later tile in the same
  // row of the panel that starts at or right of an earlier tile covers it from its own left
  // edge to the earlier tile's right edge; so, walking back from the last tile, the nearest
  // later left edge in each row bounds what is seen of a tile. A later tile starting further
  // left (a tile dragged there) may leave gaps, so that tile is then drawn whole. The picture
  // is the same as drawing every tile whole; piled-up tiles cost almost nothing.
  FDrawnUncovered.assign(FDrawn.size(), std::numeric_limits<int>::max());
  if (!sameSize || !FSkipCoveredParts) return;
  std::unordered_map<int, int> laterLeft;  // tile top → leftmost left edge of later tiles there
  laterLeft.reserve(64);
  for (std::size_t i = FDrawn.size(); i-- > 0;) {
    const TEdges& r = FDrawn[i]->ScreenRect;
    auto [it, added] = laterLeft.try_emplace(r.Top, r.Left);
    if (added) continue;
    if (it->second >= r.Left) FDrawnUncovered[i] = std::min(r.Right, it->second);
    it->second = std::min(it->second, r.Left);
  }
}

void TVORNItemTimeline::PaintAxis(QPainter& painter, int width, int height) {
  const double pixelsPerDay = FPixelsPerMs * static_cast<double>(kMsPerDay);
  const int axisY = height - 40;
  QPen pen(FAxisColor, 2);
  pen.setCapStyle(Qt::FlatCap);
  painter.setPen(pen);
  painter.drawLine(0, axisY, width, axisY);

  const TTickRun run = TimelineTicks(TimeAtPanelX(0), TimeAtPanelX(width));
  const QFontMetrics metrics(painter.font());
  const QLocale locale;
  for (const TTick& tick : run.Ticks) {
    const double x =
        std::nearbyint((static_cast<double>(tick.Time) - static_cast<double>(FMinTime)) *
                       FPixelsPerMs) -
        FViewLeft;
    int y1 = axisY;
    int y2 = height - 30;
    pen.setWidth(1);
    if (tick.Major) {
      pen.setWidth(2);
      y1 = run.Level == tlMinutes ? 10 : 4;
      y2 = height - 20;
    }
    if (tick.Weekend) painter.fillRect(QRectF(x, 4, pixelsPerDay, height - 44), FWeekendColor);
    painter.setPen(pen);
    painter.drawLine(QLineF(x, y1, x, y2));
    if (tick.Major) {
      const QString label =
          metrics.elidedText(TimelineTickLabel(run.Level, tick.Time, locale), Qt::ElideRight, 1000);
      painter.setPen(FAxisTextColor);
      painter.drawText(QRectF(x, height - 20, 1000, 1000),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
    }
  }
}

void TVORNItemTimeline::MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int y) {
  const int dx = FLastX - x;
  if (OnStatus && (FSelectState == selArmed || FSelectState == selDragging))
    OnStatus(this, 0, SelectingText(x), 0);
  if (buttons & Qt::LeftButton) {
    if (FSelectState == selDragging) {
      // A full-height strip from the press to the pointer; the list's selection follows live.
      FSelectRect.Top = FViewTop;
      FSelectRect.Right = FViewLeft + x;
      FSelectRect.Bottom = FViewBottom;
      SelectInRect(FSelectRect);
    } else if (FPressedItem) {
      FPressedItem->Y = FViewTop + y;  // the tile follows vertically; its time stays
    } else {
      FViewLeft = std::clamp(FViewLeft + dx, 0, std::max(FWorldWidth, 0));
      FViewRight = ClientWidth() + FViewLeft;
    }
    Invalidate();
  }
  FLastX = x;
  FLastY = y;
}

void TVORNItemTimeline::MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int) {
  if (FSelectState == selDragging) {
    FSelectState = selNone;
    SetCrosshair(false);
    Invalidate();
  } else if (!FPressedItem) {
    const std::uint32_t elapsed = TickCount() - FPressTick;
    if (elapsed > 0) {
      FVelocityX = TimelineReleaseVelocity(FPressX, x, elapsed);
      FVelocityY = 0.0f;
    }
    FMomentumTimer.start();
  }
  if (OnStatus) OnStatus(this, 0, QString(), 100);
  FPressedItem = nullptr;
}

void TVORNItemTimeline::ZoomToFit(bool selectedOnly, bool panOnly) {
  int lo = std::numeric_limits<int>::max();
  int hi = 0;
  for (const TNWNode* item : FItems) {
    if (selectedOnly && !(item->TreeNode && FTree->IsSelected(item->TreeNode))) continue;
    lo = std::min(lo, item->X);
    hi = std::max(hi, item->X);
  }
  if (lo > hi) return;
  FViewLeft = lo;
  FViewRight = ClientWidth() + FViewLeft;
  // Items that all start at one x have no width to fit: the scale stays, and the view only
  // moves so that they stand at the left edge, as when panning to them.
  if (panOnly || hi == lo) {
    Invalidate();
    return;
  }
  SetScale(TimelineFitScale(GetScale(), ClientWidth(), lo, hi));
}

QString TVORNItemTimeline::SelectingText(int x) const {
  const QLocale locale;
  const QChar dateSep = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
  const QChar timeSep = SeparatorOf(locale.timeFormat(QLocale::LongFormat), u':');
  const QString format = QStringLiteral("dd%1MM%1yyyy HH%2mm%2ss").arg(dateSep, timeSep);
  const double time = TimeAtPanelX(x);
  const QDateTime at = QDateTime::fromMSecsSinceEpoch(
      static_cast<qint64>(std::clamp(time, -9.0e18, 9.0e18)), Qt::UTC);
  return QStringLiteral("Selecting: ") + locale.toString(at, format);
}
