// A library module that serves two "FILE" resources, for the archive tests of module look-ups.
#include <cstring>

namespace {

const unsigned char kGreeting[] = "hello from a module";
const unsigned char kShared[] = {1, 2, 3};

}  // namespace

extern "C" __attribute__((visibility("default"))) const unsigned char* lumaroo_find_resource(
    const char* type, const char* name, unsigned int* size) {
    if (type == nullptr || name == nullptr || size == nullptr || std::strcmp(type, "FILE") != 0)
        return nullptr;
    if (std::strcmp(name, "greeting") == 0) {
        *size = sizeof kGreeting;  // with its terminating zero, like every text entry
        return kGreeting;
    }
    if (std::strcmp(name, "shared") == 0) {
        *size = sizeof kShared;
        return kShared;
    }
    return nullptr;
}
