// Where the program lives, and the search path that finds its data files.
#include "lang/ProgramPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace lang {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string joined(const std::string& folder, std::string_view name) {
    if (folder.empty())
        return std::string(name);
    std::string path = folder;
    if (path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

}  // namespace

std::string programFolder() {
    std::vector<char> buffer(4096);
    ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return {};
    std::string path(buffer.data(), static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string searchPath(std::string_view name) {
    if (name.empty())
        return {};
    if (name.find('/') != std::string_view::npos) {
        std::string path(name);
        return isRegularFile(path) ? path : std::string();
    }
    std::string candidate = joined(programFolder(), name);
    if (isRegularFile(candidate))
        return candidate;
    candidate = std::string(name);
    if (isRegularFile(candidate))
        return "./" + candidate;
    if (const char* pathVariable = std::getenv("PATH")) {
        std::string_view rest(pathVariable);
        while (true) {
            size_t colon = rest.find(':');
            std::string folder(rest.substr(0, colon));
            // An empty PATH element means the current folder, which was tried already.
            if (!folder.empty()) {
                candidate = joined(folder, name);
                if (isRegularFile(candidate))
                    return candidate;
            }
            if (colon == std::string_view::npos)
                break;
            rest.remove_prefix(colon + 1);
        }
    }
    return {};
}

}  // namespace lang
