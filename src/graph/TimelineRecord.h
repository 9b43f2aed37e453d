#pragma once

#include "explorer/FileNodeData.h"

#include <QImage>
#include <QString>

#include <cstdint>

// The only place where the timeline reads a file record, so a change of the record's layout
// touches these few lines alone. The timeline reads the last-write time, the type's icon index,
// the thumbnail, the name and the path; it never writes a record.

inline std::int64_t RecordModified(const TFileNodeData& record) { return record.Modified; }

inline int RecordImageIndex(const TFileNodeData& record) { return record.ImageIndex; }

// Published complete by a thumbnail worker: a painter sees no picture or the whole one.
inline const QImage* RecordThumbnail(const TFileNodeData& record) {
  return record.Thumbnail.load(std::memory_order_acquire);
}

// Names and paths are the file system's bytes; only the display converts them.
inline QString RecordNameText(const TFileNodeData& record) {
  return QString::fromUtf8(record.Name());
}

inline QString RecordPathText(const TFileNodeData& record) {
  return QString::fromUtf8(record.Path);
}
