#pragma once
// The program's four global objects live in different modules but must be
// constructed in one fixed order, and destroyed in the reverse order, however
// the linker happens to arrange the object files. Each definition carries its
// place through the toolchain's init_priority attribute (lower runs first);
// objects without a priority are constructed after all of these.

namespace order {

inline constexpr int kTrueTracksPath = 1001;
inline constexpr int kApp = 1002;
inline constexpr int kFileReadDlg = 1003;
inline constexpr int kTrueTracks = 1004;

}  // namespace order
