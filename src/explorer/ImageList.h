#pragma once

#include <QIcon>

#include <vector>

// The icons of the file types met by the scans, shared by the file list and the timeline.
// Records refer to an icon by its index, which never changes once given out. Interface thread
// only (QIcon is not made or copied on workers).
class TImageList {
 public:
  int Add(const QIcon& icon);
  int Count() const;
  QIcon Icon(int index) const;  // a null icon when index is out of range

 private:
  std::vector<QIcon> FIcons;
};
