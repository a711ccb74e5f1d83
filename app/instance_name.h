// The name under which one launcher claims its data folder. Two starts in the
// same folder must arrive at the same name, whatever case or separators the
// folder was spelled with; starts in different folders at different names.
// Portable: no window system here.
#pragma once

#include <string>

namespace instance {

// The registered window message by which a second start asks the running
// launcher to bring its panel to the front.
constexpr char kShowPanelMessage[] = "NuboTesa.ShowPanel";

// The folder as compared: ASCII letters upper-cased (walking CP932
// characters, so that a trail byte that looks like a letter stays as it is),
// '/' read as '\', and trailing separators dropped except after a drive
// ("C:\").
std::string FoldFolder(const char* folder);

// A kernel object name for `folder` (zero-terminated CP932): "NuboTesa." and
// 16 hexadecimal digits of a 64-bit FNV-1a hash of the folded folder. Only
// letters, digits and dots, so that it is a valid object name whatever the
// folder holds; prefix it with "Local\" for the session's namespace.
std::string InstanceName(const char* folder);

}  // namespace instance
