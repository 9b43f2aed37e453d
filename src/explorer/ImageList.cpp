#include "explorer/ImageList.h"

int TImageList::Add(const QIcon& icon) {
  FIcons.push_back(icon);
  return int(FIcons.size()) - 1;
}

int TImageList::Count() const { return int(FIcons.size()); }

QIcon TImageList::Icon(int index) const {
  if (index < 0 || index >= Count()) return {};
  return FIcons[std::size_t(index)];
}
