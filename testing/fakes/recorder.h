// The record of every call the fake user interface received, one line per
// call: the operation and its arguments separated by '|', such as
// "IStatusBar::Output|Connected|4|0". Lines may also go to a file, for tests
// that watch another process.
#pragma once

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace vesk {
struct Igeneric;
}

namespace vesk::testing {

class recorder {
public:
    ~recorder();
    void add(const std::string& line);
    std::vector<std::string> lines();
    // The lines that begin with prefix.
    std::vector<std::string> linesStartingWith(const std::string& prefix);
    void clear();
    // Every later line is also appended to this file (flushed per line).
    bool writeTo(const std::string& path);
    // With a file, later lines go only there: a long run's record holds no
    // memory of the program it watches.
    void fileOnly();

private:
    std::mutex lock_;
    std::vector<std::string> lines_;
    std::FILE* file_ = nullptr;
    bool keepLines_ = true;
};

// Builds one line: callText("IStatusBar::Output").arg(text).arg(4).
class callText {
public:
    explicit callText(const char* operation) { out_ << operation; }
    callText& arg(const char* text) {
        out_ << '|' << (text ? text : "(null)");
        return *this;
    }
    callText& arg(const std::string& text) { return arg(text.c_str()); }
    callText& arg(long long n) {
        out_ << '|' << n;
        return *this;
    }
    callText& arg(int n) { return arg(static_cast<long long>(n)); }
    callText& arg(unsigned n) { return arg(static_cast<long long>(n)); }
    callText& arg(long n) { return arg(static_cast<long long>(n)); }
    callText& arg(unsigned long n) { return arg(static_cast<long long>(n)); }
    callText& arg(bool b) { return arg(b ? 1 : 0); }
    // Pointers and handles as hexadecimal addresses, null as 0.
    callText& address(const void* p);
    std::string text() const { return out_.str(); }

private:
    std::ostringstream out_;
};

}  // namespace vesk::testing
