// Joins a folder and a file name into one path.
#include "io/Path.h"

namespace io {

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

}  // namespace io
