#include "explorer/FileTypeIndex.h"

#include <initializer_list>

namespace {

struct TCategoryTable {
  int Category;
  std::initializer_list<const char*> Extensions;
};

}  // namespace

void FillFileTypeIndex(TFileTypeIndex& index) {
  static const TCategoryTable kTable[] = {
      {1, {".doc", ".docx", ".wpd", ".wps", ".ans",  ".mcw", ".rtf",   ".olk", ".pab",  ".txt",
           ".xls", ".xlsx", ".xlw", ".xll", ".xla",  ".xlt", ".csv",   ".wks", ".wk4",  ".wk3",
           ".wk1", ".wq1",  ".dbf", ".iqy", ".dqy",  ".oqy", ".rqy",   ".ppt", ".pptx", ".pps",
           ".pot", ".pre",  ".ppa", ".htm", ".html", ".stm", ".shtml", ".ps",  ".pdf",  ".url"}},
      {0, {".log", ".dat"}},
      {2,
       {".bmp", ".exif", ".gif", ".img", ".jpg", ".jpeg", ".jpe", ".pbm", ".pcx", ".pic", ".pict",
        ".png", ".raw", ".rle", ".tga", ".tif", ".tiff", ".nef"}},
      {4, {".mp3", ".wav", ".aif", ".aiff", ".au", ".m4a", ".ra", ".ram", ".wma"}},
      {3, {".avi", ".mp4", ".m2v", ".flv",  ".m4e", ".mov", ".moov", ".movie", ".mpg", ".mpeg",
           ".qt",  ".rm",  ".rmv", ".rmvb", ".swf", ".ts",  ".wmv",  ".divx",  ".3gp", ".aff"}},
      {5, {".ace",  ".arc", ".arj", ".bz",  ".bzip", ".cab", ".gz",  ".gzip",
           ".jar",  ".lha", ".rar", ".tar", ".zip",  ".zoo", ".dbx", ".mbx",
           ".mbox", ".pst", ".ost", ".box", ".eml",  ".emlx"}},
  };
  for (const TCategoryTable& row : kTable) {
    for (const char* ext : row.Extensions) index.Add(ext, row.Category);
  }
}

int FileTypeOf(const TFileTypeIndex& index, std::string_view ext) {
  const int category = index.ValueOf(ext);
  return category < 0 || category >= kFileTypeCount ? 0 : category;
}
