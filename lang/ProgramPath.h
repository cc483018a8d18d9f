// Where the program lives, and the search path that finds its data files (the archive, modules).
#pragma once

#include <string>
#include <string_view>

namespace lang {

// The folder of the running program (the folder of /proc/self/exe), without a trailing "/"; empty
// when it cannot be told.
std::string programFolder();

// The path of an existing regular file `name`: an absolute name or one containing "/" is taken as it
// stands (relative to the current folder); a bare name is looked for in the program folder, the current
// folder, then each folder of PATH, in that order. Empty when no such file exists.
std::string searchPath(std::string_view name);

}  // namespace lang
