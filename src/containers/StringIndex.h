#pragma once

#include "containers/HashList.h"

#include <cstdint>
#include <memory>
#include <string_view>

// Keys of both indexes are the caller's bytes as they are: case-sensitive, byte for byte.
// Misuse raises EHashList from the list underneath; after such an exception the index and
// its counter are as they were. Absence is never an exception.

// String to pointer, sized for many entries (the duplicate search keys list rows by digest).
// The pointers stay the caller's: the index never frees them.
class TStringIndex {
 public:
  TStringIndex();
  ~TStringIndex();

  TStringIndex(const TStringIndex&) = delete;
  TStringIndex& operator=(const TStringIndex&) = delete;

  // Throws EHashList "Duplicate hash list entry: <key>" when the key is present.
  void Add(std::string_view key, void* pointer);
  // Returns the pointer stored with the key; throws EHashList "Tried to remove invalid node:
  // <key>" when the key is absent.
  void* Remove(std::string_view key);
  // True and the pointer when present; false with `pointer` untouched when absent.
  bool Find(std::string_view key, void*& pointer) const;

  // The number of entries.
  std::int32_t Count() const { return FCount; }

 private:
  std::unique_ptr<THashList> FHashList;
  std::unique_ptr<TCaseSensitiveTraits> FTraits;
  std::int32_t FCount = 0;
};

// String to 32-bit integer, sized for small tables (file types, system folders, the icon
// cache). FCount counts successful additions and numbers the keys that AddNext adds.
class TStringIntIndex {
 public:
  TStringIntIndex();
  ~TStringIntIndex();

  TStringIntIndex(const TStringIntIndex&) = delete;
  TStringIntIndex& operator=(const TStringIntIndex&) = delete;

  // Stores the number of additions so far as the key's value and returns it: a fresh index
  // numbers its keys 0, 1, 2, ...
  std::int32_t AddNext(std::string_view key);
  // Stores `value` and returns the ordinal of this addition (not the value).
  std::int32_t Add(std::string_view key, std::int32_t value);
  // The stored value, or -1 when the key is absent (a stored -1 looks the same).
  std::int32_t ValueOf(std::string_view key) const;

 private:
  std::unique_ptr<THashList> FHashList;
  std::unique_ptr<TCaseSensitiveTraits> FTraits;
  std::int32_t FCount = 0;
};
