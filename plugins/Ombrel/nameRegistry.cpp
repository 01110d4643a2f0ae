#include "plugins/Ombrel/nameRegistry.h"

#include <map>
#include <mutex>
#include <string>

namespace vesk::ss::names {

namespace {

struct registry {
    std::mutex lock;
    std::map<std::string, int> idByName;  // std::string orders bytes as unsigned
    std::map<int, std::string> nameById;  // nodes never move: text() stays valid
};

registry& theRegistry() {
    static registry r;
    return r;
}

}  // namespace

int intern(const char* name) {
    if (!name)
        return -1;
    registry& r = theRegistry();
    std::lock_guard<std::mutex> hold(r.lock);
    auto found = r.idByName.find(name);
    if (found != r.idByName.end())
        return found->second;
    int id = static_cast<int>(r.idByName.size());
    r.nameById.emplace(id, name);
    r.idByName.emplace(name, id);
    return id;
}

int find(const char* name) {
    if (!name)
        return -1;
    registry& r = theRegistry();
    std::lock_guard<std::mutex> hold(r.lock);
    auto found = r.idByName.find(name);
    return found == r.idByName.end() ? -1 : found->second;
}

const char* text(int id) {
    registry& r = theRegistry();
    std::lock_guard<std::mutex> hold(r.lock);
    auto found = r.nameById.find(id);
    return found == r.nameById.end() ? nullptr : found->second.c_str();
}

int count() {
    registry& r = theRegistry();
    std::lock_guard<std::mutex> hold(r.lock);
    return static_cast<int>(r.idByName.size());
}

}  // namespace vesk::ss::names
