#pragma once

#include "containers/StringIndex.h"

#include <array>

// The six file-type categories, numbered as the items of the "Filter" menu. Every extension the
// table does not hold, and the empty one, is category 0.
inline constexpr int kFileTypeCount = 6;

inline constexpr std::array<const char*, kFileTypeCount> kFileTypeCaptions = {
    "Application/System Files",
    "Office/Document Files",
    "Image Files",
    "Video Files",
    "Audio Files",
    "Archive/Store Files"};

// Object names of the menu items, in the same order.
inline constexpr std::array<const char*, kFileTypeCount> kFileTypeItemNames = {
    "ApplicationSystemFiles1", "OfficeFiles1", "ImageFiles1", "VideoFiles1", "AudioFiles1",
    "ArchiveStoreFiles1"};

// Which categories a scan lists, index = category.
using TTypeFilter = std::array<bool, kFileTypeCount>;
inline constexpr TTypeFilter kAllFileTypes = {true, true, true, true, true, true};

// Extension (with its dot, lower case as stored) to category. The lookup is exact and
// case-sensitive: ".JPG" is not held, so IMG.JPG falls into category 0. Filled once at start
// and only read afterwards, so a scan may read it from its worker thread.
class TFileTypeIndex : public TStringIntIndex {};

// Adds the 111 extensions of the table.
void FillFileTypeIndex(TFileTypeIndex& index);

// The category of an extension: the index's value, or 0 when it does not hold it.
int FileTypeOf(const TFileTypeIndex& index, std::string_view ext);
