#include "explorer/FileNodeData.h"

#include <QImage>

#include <stdexcept>

namespace {

// A million records are held at once: at 112 bytes a record takes one 128-byte heap chunk.
// A field added without care for the padding shows here first.
static_assert(sizeof(TFileNodeData) <= 112);

constexpr qsizetype kMaxPathBytes = std::numeric_limits<std::uint16_t>::max();

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

TFileNodeData::~TFileNodeData() { delete Thumbnail.load(); }

QByteArrayView TFileNodeData::Name() const { return QByteArrayView(Path).sliced(NameStart); }

QByteArrayView TFileNodeData::Ext() const { return QByteArrayView(Path).sliced(ExtStart); }

void TFileNodeData::SetPath(QByteArray path, qsizetype nameStart) {
  if (path.size() > kMaxPathBytes) throw std::length_error("file record: path too long");
  if (nameStart < 0 || nameStart > path.size())
    throw std::out_of_range("file record: name start outside the path");
  const QByteArrayView name = QByteArrayView(path).sliced(nameStart);
  ExtStart = static_cast<std::uint16_t>(path.size() - ExtOfName(name).size());
  NameStart = static_cast<std::uint16_t>(nameStart);
  Path = std::move(path);
}

QByteArray TFileNodeData::Hash() const {
  if (!HasDigest) return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  QByteArray text(2 * qsizetype(Digest.size()), Qt::Uninitialized);
  char* out = text.data();
  for (const std::uint8_t byte : Digest) {
    *out++ = kDigits[byte >> 4];
    *out++ = kDigits[byte & 0x0F];
  }
  return text;
}

void TFileNodeData::SetDigest(const std::array<std::uint8_t, 16>& digest) {
  Digest = digest;
  HasDigest = true;
}

void TFileNodeData::ClearHash() {
  Digest = {};
  HasDigest = false;
}

bool TFileNodeData::SetHashText(QByteArrayView hex32) {
  std::array<std::uint8_t, 16> digest{};
  if (hex32.size() != 2 * qsizetype(digest.size())) return false;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = HexValue(hex32[qsizetype(2 * i)]);
    const int low = HexValue(hex32[qsizetype(2 * i + 1)]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  SetDigest(digest);
  return true;
}

QByteArrayView ExtOfName(QByteArrayView name) {
  for (qsizetype i = name.size() - 1; i >= 0; --i) {
    if (name[i] == '/') break;
    if (name[i] == '.') return name.sliced(i);
  }
  return {};
}

std::unique_ptr<TFileNodeData> MakeFileRecord(QByteArray path) {
  auto record = std::make_unique<TFileNodeData>();
  const qsizetype nameStart = path.lastIndexOf('/') + 1;
  record->SetPath(std::move(path), nameStart);
  return record;
}
