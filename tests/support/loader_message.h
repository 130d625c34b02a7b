// What the dynamic loader says of a file, for tests that expect that text in an error.
#pragma once

#include <dlfcn.h>

#include <string>

namespace test_support {

// dlerror's text for the file, from trying to load it here ("<loaded>" when it loads).
inline std::string loaderMessage(const std::string &file) {
    if (void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        dlclose(handle);
        return "<loaded>";
    }
    const char *message = dlerror();
    return message ? message : "<none>";
}

}  // namespace test_support
