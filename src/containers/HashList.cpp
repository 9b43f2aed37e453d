#include "containers/HashList.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <vector>

namespace {

std::string KeyMessage(const char* text, std::string_view key) {
  std::string message(text);
  message.append(key);
  return message;
}

// Owns the entries held aside during a rebuild, so that a failure half-way frees them.
struct TCollectList {
  TCollectNodeNode* Head = nullptr;

  TCollectList() = default;
  TCollectList(const TCollectList&) = delete;
  TCollectList& operator=(const TCollectList&) = delete;
  ~TCollectList() {
    while (Head != nullptr) {
      TCollectNodeNode* next = Head->Next;
      delete Head;
      Head = next;
    }
  }
};

}  // namespace

std::uint32_t TCaseSensitiveTraits::Hash(std::string_view key) const {
  std::uint32_t h = 0;
  for (char c : key) {
    h = (h << 4) + static_cast<unsigned char>(c);
    const std::uint32_t g = h & 0xF0000000u;
    if (g != 0) h = (h ^ (g >> 24)) & 0x0FFFFFFFu;
  }
  return h;
}

int TCaseSensitiveTraits::Compare(std::string_view a, std::string_view b) const {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int x = static_cast<unsigned char>(a[i]);
    const int y = static_cast<unsigned char>(b[i]);
    if (x != y) return x - y;
  }
  // Keys longer than INT_MAX bytes still compare with the right sign.
  const std::ptrdiff_t diff =
      static_cast<std::ptrdiff_t>(a.size()) - static_cast<std::ptrdiff_t>(b.size());
  return static_cast<int>(std::clamp<std::ptrdiff_t>(diff, -INT_MAX, INT_MAX));
}

THashList::THashList(THashListTraits* traits, std::uint32_t size) {
  if (traits == nullptr) throw EHashList("HashList must have traits");
  SetSize(size);
  FTraits = traits;
}

THashList::~THashList() {
  Clear();
  // Empty now, so releasing the buckets cannot be refused.
  FBuckets.reset();
  FSize = 0;
}

THashNode* THashList::NewNode() { return new THashNode; }

void THashList::DisposeNode(THashNode* node) { delete node; }

const THashNode* THashList::Bucket(std::uint32_t index) const {
  return index < FSize ? FBuckets[index] : nullptr;
}

THashNode** THashList::FindSlot(std::string_view key) const {
  if (FSize == 0) return nullptr;
  THashNode** slot = &FBuckets[FTraits->Hash(key) % FSize];
  while (*slot != nullptr) {
    const int c = FTraits->Compare(key, (*slot)->Key);
    if (c < 0) {
      slot = &(*slot)->Left;
    } else if (c > 0) {
      slot = &(*slot)->Right;
    } else {
      break;
    }
  }
  return slot;
}

void THashList::Add(std::string_view key, std::uintptr_t value) {
  THashNode** slot = FindSlot(key);
  if (slot == nullptr) throw EHashList(KeyMessage("HashList: no buckets for entry: ", key));
  if (*slot != nullptr) throw EHashList(KeyMessage("Duplicate hash list entry: ", key));
  THashNode* node = NewNode();
  node->Key.assign(key);
  node->Data = value;
  *slot = node;
  ++FCount;
}

std::uintptr_t THashList::Remove(std::string_view key) {
  THashNode** slot = FindSlot(key);
  if (slot == nullptr || *slot == nullptr) {
    throw EHashList(KeyMessage("Tried to remove invalid node: ", key));
  }
  const std::uintptr_t value = (*slot)->Data;
  UnlinkNode(slot);
  return value;
}

bool THashList::Find(std::string_view key, std::uintptr_t& value) const {
  THashNode** slot = FindSlot(key);
  if (slot == nullptr || *slot == nullptr) return false;
  value = (*slot)->Data;
  return true;
}

void THashList::UnlinkNode(THashNode** slot) {
  THashNode* node = *slot;
  FDeleteToggle = !FDeleteToggle;
  if (FDeleteToggle) {
    // Replace by the in-order successor.
    if (node->Right == nullptr) {
      *slot = node->Left;
    } else if (node->Right->Left == nullptr) {
      node->Right->Left = node->Left;
      *slot = node->Right;
    } else {
      THashNode* parent = node->Right;
      THashNode* successor = parent->Left;
      while (successor->Left != nullptr) {
        parent = successor;
        successor = successor->Left;
      }
      successor->Left = node->Left;
      parent->Left = successor->Right;
      successor->Right = node->Right;
      *slot = successor;
    }
  } else {
    // Replace by the in-order predecessor.
    if (node->Left == nullptr) {
      *slot = node->Right;
    } else if (node->Left->Right == nullptr) {
      node->Left->Right = node->Right;
      *slot = node->Left;
    } else {
      THashNode* parent = node->Left;
      THashNode* predecessor = parent->Right;
      while (predecessor->Right != nullptr) {
        parent = predecessor;
        predecessor = predecessor->Right;
      }
      predecessor->Right = node->Right;
      parent->Right = predecessor->Left;
      predecessor->Left = node->Left;
      *slot = predecessor;
    }
  }
  --FCount;
  DisposeNode(node);
}

void THashList::FreeSubtree(THashNode** slot) {
  // Post-order walk in constant space, so that it can run from the destructor and on trees
  // of any depth. The link a walk descends through is borrowed to hold the way back up (the
  // chain of unfinished ancestors starts at `up`); a node whose left side is finished points
  // its Left at itself, which says that its Right holds the way back.
  THashNode* node = *slot;
  *slot = nullptr;
  THashNode* up = nullptr;
  bool leftDone = false;
  while (node != nullptr) {
    if (!leftDone && node->Left != nullptr) {
      THashNode* child = node->Left;
      node->Left = up;
      up = node;
      node = child;
      continue;
    }
    node->Left = node;
    if (node->Right != nullptr) {
      THashNode* child = node->Right;
      node->Right = up;
      up = node;
      node = child;
      leftDone = false;
      continue;
    }
    DisposeNode(node);
    // Climb past every ancestor whose right side just finished; the first one reached from
    // its left side goes on with its right side.
    while (up != nullptr && up->Left == up) {
      THashNode* parent = up;
      up = parent->Right;
      DisposeNode(parent);
    }
    node = up;
    if (node != nullptr) {
      up = node->Left;
      leftDone = true;
    }
  }
}

void THashList::Clear() {
  for (std::uint32_t i = 0; i < FSize; ++i) {
    if (FBuckets[i] != nullptr) FreeSubtree(&FBuckets[i]);
  }
  FCount = 0;
}

void THashList::SetSize(std::uint32_t size) {
  if (FSize == 0) {
    if (size == 0) return;
    FBuckets = std::make_unique<THashNode*[]>(size);
    FSize = size;
    return;
  }
  if (size == 0) {
    if (FCount > 0) throw EHashList("HashList: must be empty to set size to zero");
    FBuckets.reset();
    FSize = 0;
    return;
  }

  // Hold every entry aside (each tree in pre-order, each record put in front), then
  // reinsert from the front. Everything that can fail before the reinsertion happens before
  // the list is touched, so a failure there leaves it as it was.
  TCollectList collected;
  std::vector<THashNode*> pending;
  for (std::uint32_t i = 0; i < FSize; ++i) {
    if (FBuckets[i] != nullptr) pending.push_back(FBuckets[i]);
    while (!pending.empty()) {
      const THashNode* node = pending.back();
      pending.pop_back();
      collected.Head = new TCollectNodeNode{collected.Head, node->Key, node->Data};
      if (node->Right != nullptr) pending.push_back(node->Right);
      if (node->Left != nullptr) pending.push_back(node->Left);
    }
  }
  auto buckets = std::make_unique<THashNode*[]>(size);

  Clear();
  FBuckets = std::move(buckets);
  FSize = size;
  while (collected.Head != nullptr) {
    TCollectNodeNode* record = collected.Head;
    Add(record->Key, record->Data);
    collected.Head = record->Next;
    delete record;
  }
}
