// Joins a folder and a file name into one path.
#pragma once

#include <string>
#include <string_view>

namespace io {

// The folder, a "/" when the folder is not empty and does not already end in one, then the name.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace io
