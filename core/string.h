// The text object every module makes directly. It has no interface map: it
// answers "vesk::Istring *" and "vesk::Igeneric *" itself.
#pragma once

#include <windows.h>

#include "vesk/data.h"

namespace vesk {

class string final : public Istring {
public:
    explicit string(const char* text);  // copied; null gives a null text

    void* queryInterface(const char* typeName) override;
    int addRef() override;
    int release() override;
    const char* c_str() override { return text_; }
    unsigned short length() override { return length_; }

private:
    ~string();

    unsigned short length_;
    char* text_;
    volatile LONG count_ = 0;
};

// Logs one line through the target, which consumes the new string.
struct Itarget;
bool logLine(Itarget* target, const char* text);

}  // namespace vesk
