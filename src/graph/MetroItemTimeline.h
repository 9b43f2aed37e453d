#pragma once

#include "graph/ItemTimeline.h"

#include <QImage>
#include <QStaticText>
#include <QString>

#include <unordered_map>
#include <vector>

// The timeline the program shows: a dark panel, and flat tiles coloured by file type (pure blue
// when the row is selected) that carry the file's thumbnail or icon, its name and its path.
// A 24 × 24 tile shows its picture only.
//
// Scaled thumbnails and the elided texts of the tiles are kept between paints, so a paint costs
// little more than filling its tiles; both caches are emptied whenever items or the item size
// change, so they never outlive the records they were made from.
class TMetroVORNItemTimeline : public TVORNItemTimeline {
 public:
  TMetroVORNItemTimeline(QWidget* panel, TTimelineRows* rows);

  void DrawItem(QPainter& painter, TNWNode& item) override;

 protected:
  void ForgetRecords() override;

  QColor FSubtitleColor{Qt::white};

 private:
  // Laid out once per record and tile width: shaping text is what a paint would otherwise
  // spend most of its time on.
  struct TTileText {
    QStaticText Name;
    std::vector<QStaticText> PathLines;
    bool PathDone = false;
  };
  TTileText& TextOf(const TFileNodeData& record, int width);
  const QImage& ScaledThumbnail(const TFileNodeData& record, const QImage& picture, QSize size);

  QFont FNameFont;
  QFont FPathFont;
  int FTextWidth = -1;
  std::unordered_map<const TFileNodeData*, TTileText> FTexts;
  struct TScaled {
    const QImage* Source = nullptr;
    QImage Picture;
  };
  std::unordered_map<const TFileNodeData*, TScaled> FThumbnails;
};
