#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// How a hash list hashes and orders its keys. Keys are byte strings: every byte value,
// zero included, is an ordinary character.
class THashListTraits {
 public:
  virtual ~THashListTraits() = default;
  virtual std::uint32_t Hash(std::string_view key) const = 0;
  // Negative when `a` orders before `b`, zero when equal, positive when after.
  virtual int Compare(std::string_view a, std::string_view b) const = 0;
};

// ELF hash and ordinal byte comparison; bytes are taken as unsigned values throughout, so
// keys that differ only in letter case are different keys.
class TCaseSensitiveTraits : public THashListTraits {
 public:
  // Always within 0 .. 0x0FFFFFFF.
  std::uint32_t Hash(std::string_view key) const override;
  // The difference of the first differing bytes; otherwise the difference of the lengths,
  // so a prefix orders first.
  int Compare(std::string_view a, std::string_view b) const override;
};

// One entry; the list owns the node and its copy of the key.
struct THashNode {
  std::string Key;
  std::uintptr_t Data = 0;
  THashNode* Left = nullptr;   // keys that compare less than Key
  THashNode* Right = nullptr;  // keys that compare greater than Key
};

// One entry held aside while the bucket array is rebuilt.
struct TCollectNodeNode {
  TCollectNodeNode* Next = nullptr;
  std::string Key;
  std::uintptr_t Data = 0;
};

// Every misuse of a hash list; the message names the offending key.
class EHashList : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Maps byte-string keys to pointer-sized values that it never interprets, frees or
// dereferences. A fixed number of buckets, chosen by the user, each holding an unbalanced
// binary search tree ordered by the traits; nothing rebalances and nothing grows by itself,
// so the bucket count should be generous for the expected number of entries.
//
// Invariants: a key occurs at most once; it lives in bucket Hash(key) mod Size(); within a
// bucket every key in a node's Left subtree compares less than the node's key and every key
// in its Right subtree greater; Count() is the number of nodes in all trees.
//
// Deletions replace a node that has two children alternately by its in-order successor and
// by its predecessor, list-wide (DeleteToggle()), which keeps long runs of deletions from
// skewing every tree to one side.
//
// The traits are not owned and must outlive the list. No operation recurses over a tree, so
// a tree degenerated into a long chain (keys added in order) costs time but never stack.
// Not thread-safe: one thread at a time.
class THashList {
 public:
  // Throws EHashList "HashList must have traits" when `traits` is null.
  THashList(THashListTraits* traits, std::uint32_t size);
  virtual ~THashList();

  THashList(const THashList&) = delete;
  THashList& operator=(const THashList&) = delete;

  // Rebuilds the bucket array with `size` buckets, keeping every entry. Size 0 releases the
  // array and is refused with EHashList while entries exist.
  void SetSize(std::uint32_t size);
  // Throws EHashList "Duplicate hash list entry: <key>" when the key is present; the list is
  // then unchanged.
  void Add(std::string_view key, std::uintptr_t value);
  // Returns the removed entry's value. Throws EHashList "Tried to remove invalid node: <key>"
  // when the key is absent; the list is then unchanged.
  std::uintptr_t Remove(std::string_view key);
  // True and the value when present; false with `value` untouched when absent.
  bool Find(std::string_view key, std::uintptr_t& value) const;
  // Frees every entry; the bucket count stays.
  void Clear();

  std::uint32_t Size() const { return FSize; }
  std::uint32_t Count() const { return FCount; }
  // True when the next deletion will use the predecessor rule.
  bool DeleteToggle() const { return FDeleteToggle; }
  // Root of a bucket's tree (null when empty or out of range), for inspection.
  const THashNode* Bucket(std::uint32_t index) const;

 protected:
  // Allocation of nodes, for lists that keep them elsewhere. The destructor frees the
  // remaining nodes with this class's DisposeNode (a derived class that overrides it clears
  // the list in its own destructor). When DisposeNode is called the node's links are no
  // longer meaningful: it only releases the node.
  virtual THashNode* NewNode();
  virtual void DisposeNode(THashNode* node);

 private:
  // The slot (bucket root or a node's Left/Right field) that holds the key's node, or the
  // empty slot where it belongs; null when there are no buckets.
  THashNode** FindSlot(std::string_view key) const;
  void UnlinkNode(THashNode** slot);
  // Frees the node in `slot` and everything below it, children before parents, and empties
  // the slot.
  void FreeSubtree(THashNode** slot);

  std::uint32_t FSize = 0;
  std::uint32_t FCount = 0;
  std::unique_ptr<THashNode*[]> FBuckets;
  bool FDeleteToggle = false;
  THashListTraits* FTraits = nullptr;
};
