#include "containers/StringIndex.h"

namespace {

constexpr std::uint32_t kStringIndexBuckets = 10000;
constexpr std::uint32_t kStringIntIndexBuckets = 256;

// Integers travel through the list's pointer-sized value slot sign-extended, so every
// 32-bit value, negative ones included, reads back unchanged.
std::uintptr_t SlotOfInt(std::int32_t value) {
  return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(value));
}

std::int32_t IntOfSlot(std::uintptr_t slot) {
  return static_cast<std::int32_t>(static_cast<std::intptr_t>(slot));
}

}  // namespace

// The list refers to the traits, so the traits are made first and freed last.

TStringIndex::TStringIndex() : FTraits(std::make_unique<TCaseSensitiveTraits>()) {
  FHashList = std::make_unique<THashList>(FTraits.get(), kStringIndexBuckets);
}

TStringIndex::~TStringIndex() {
  FHashList.reset();
  FTraits.reset();
}

void TStringIndex::Add(std::string_view key, void* pointer) {
  FHashList->Add(key, reinterpret_cast<std::uintptr_t>(pointer));
  ++FCount;
}

void* TStringIndex::Remove(std::string_view key) {
  void* pointer = reinterpret_cast<void*>(FHashList->Remove(key));
  --FCount;
  return pointer;
}

bool TStringIndex::Find(std::string_view key, void*& pointer) const {
  std::uintptr_t slot = 0;
  if (!FHashList->Find(key, slot)) return false;
  pointer = reinterpret_cast<void*>(slot);
  return true;
}

TStringIntIndex::TStringIntIndex() : FTraits(std::make_unique<TCaseSensitiveTraits>()) {
  FHashList = std::make_unique<THashList>(FTraits.get(), kStringIntIndexBuckets);
}

TStringIntIndex::~TStringIntIndex() {
  FHashList.reset();
  FTraits.reset();
}

std::int32_t TStringIntIndex::AddNext(std::string_view key) {
  const std::int32_t value = FCount;
  FHashList->Add(key, SlotOfInt(value));
  ++FCount;
  return value;
}

std::int32_t TStringIntIndex::Add(std::string_view key, std::int32_t value) {
  FHashList->Add(key, SlotOfInt(value));
  return FCount++;
}

std::int32_t TStringIntIndex::ValueOf(std::string_view key) const {
  std::uintptr_t slot = 0;
  return FHashList->Find(key, slot) ? IntOfSlot(slot) : -1;
}
