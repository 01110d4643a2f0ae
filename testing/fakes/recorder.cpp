#include "testing/fakes/recorder.h"

namespace vesk::testing {

recorder::~recorder() {
    if (file_)
        std::fclose(file_);
}

void recorder::add(const std::string& line) {
    std::lock_guard<std::mutex> hold(lock_);
    if (keepLines_ || !file_)
        lines_.push_back(line);
    if (file_) {
        std::fprintf(file_, "%s\n", line.c_str());
        std::fflush(file_);
    }
}

void recorder::fileOnly() {
    std::lock_guard<std::mutex> hold(lock_);
    keepLines_ = false;
    lines_.clear();
    lines_.shrink_to_fit();
}

std::vector<std::string> recorder::lines() {
    std::lock_guard<std::mutex> hold(lock_);
    return lines_;
}

std::vector<std::string> recorder::linesStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines())
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    return found;
}

void recorder::clear() {
    std::lock_guard<std::mutex> hold(lock_);
    lines_.clear();
}

bool recorder::writeTo(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (file_)
        std::fclose(file_);
    file_ = std::fopen(path.c_str(), "ab");
    return file_ != nullptr;
}

callText& callText::address(const void* p) {
    if (p)
        out_ << '|' << p;
    else
        out_ << "|0";
    return *this;
}

}  // namespace vesk::testing
