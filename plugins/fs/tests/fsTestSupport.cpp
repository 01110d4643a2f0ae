#include "plugins/fs/tests/fsTestSupport.h"

#include <stdexcept>

namespace vesk::svctest {

void loadFileSystemModule() {
    static bool loaded = false;
    if (loaded)
        return;
    moduleHost& host = moduleHost::instance();
    host.publishPlatformServices();
    if (host.registerModule("fs") != 1 || host.factoryModule("fs") != 2)
        throw std::runtime_error("the file-system module did not register");
    loaded = true;
}

ref<fs::Ifile> fileAt(const std::string& path) {
    loadFileSystemModule();
    return ref<fs::Ifile>(make<fs::Ifile>("vesk::fs::file", value(path.c_str())));
}

ref<fs::Idirectory> folderAt(const std::string& path) {
    loadFileSystemModule();
    return ref<fs::Idirectory>(make<fs::Idirectory>("vesk::fs::directory", value(path.c_str())));
}

std::string takeText(Ibuffer* b) {
    if (!b)
        return "<null>";
    ref<Ibuffer> held(b);
    const unsigned char* bytes = bufferData(b);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), b->resize(0)) : std::string();
}

}  // namespace vesk::svctest
