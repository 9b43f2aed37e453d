#include "explorer/FileNodeData.h"

#include <QImage>

TFileNodeData::~TFileNodeData() { delete Thumbnail.load(); }

QByteArray ExtOfName(const QByteArray& name) {
  const qsizetype dot = name.lastIndexOf('.');
  const qsizetype slash = name.lastIndexOf('/');
  if (dot < 0 || dot < slash) return {};
  return name.mid(dot);
}
