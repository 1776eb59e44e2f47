#include "app/png_module.h"

#include <dlfcn.h>

#include "common/messages.h"
#include "common/program_folder.h"

namespace pqwave {

const PngEncoders* loadPngModule(std::string& problem) {
    const std::string path = (executableFolder() / "pqwave-pictures.so").string();
    // Local: the module's copy of Qt's painter stays out of the program's own names.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        problem = tr("{0} cannot be loaded ({1})", {path, ::dlerror()});
        return nullptr;
    }
    using Entry = const PngEncoders* (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(module, "pqwavePngEncoders"));
    if (!entry) {
        problem = tr("{0} is not pqwave's picture module", {path});
        return nullptr;
    }
    return entry();
}

}  // namespace pqwave
