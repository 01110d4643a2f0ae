#include "Zintaro/tests/zintaroHost.h"

#include <cstring>

#include "Zintaro/zintaroLib.h"
#include "testing/testPaths.h"

namespace vesk::test {

std::vector<testing::registryGuard::keyPath> zintaroRegistry() {
    return {{HKEY_CLASSES_ROOT, zintaroKeys::classKey},
            {HKEY_CLASSES_ROOT, zintaroKeys::typeLibKey},
            {HKEY_CLASSES_ROOT, zintaroKeys::interfaceKey},
            {HKEY_CLASSES_ROOT, zintaroKeys::particleInterfaceKey},
            {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\MediaPlayer"}};
}

zintaroDll::zintaroDll() : comServerDll(testing::stageDir() + "\\Zintaro.dll", CLSID_Zintaro) {}

std::string bstr::text() const {
    if (!value_)
        return "<null>";
    int length = static_cast<int>(SysStringLen(value_));
    if (length == 0)
        return "";
    std::string narrow(static_cast<size_t>(length) * 2, '\0');
    int n = WideCharToMultiByte(CP_ACP, 0, value_, length, &narrow[0], static_cast<int>(narrow.size()), nullptr,
                                nullptr);
    narrow.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return narrow;
}

TimedLevel flatLevels(unsigned char value) {
    TimedLevel levels;
    std::memset(&levels, value, sizeof levels);
    levels.state = playState;
    levels.timeStamp = 0;
    return levels;
}

}  // namespace vesk::test
