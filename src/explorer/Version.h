#pragma once

// The program's version as shown in the splash box and reported to the desktop. Keep it equal
// to the version in the top-level CMakeLists.txt.
inline constexpr char kVeskoraVersion[] = "0.1.0";
