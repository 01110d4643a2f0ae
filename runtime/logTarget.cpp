#include "runtime/logTarget.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include "vesk/data.h"
#include "vesk/fs.h"

namespace vesk {

logTarget::logTarget(const char* path) : path_(path ? path : "") {
    InitializeCriticalSection(&lock_);
    registerInterfaceOf<Itarget>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

logTarget::~logTarget() {
    EnterCriticalSection(&lock_);
    if (redirect_) {
        redirect_->release();
        redirect_ = nullptr;
    } else if (descriptor_ != -1) {
        writeLine("logging stopped.");
    }
    if (descriptor_ != -1)
        _close(descriptor_);
    descriptor_ = -1;
    LeaveCriticalSection(&lock_);
    DeleteCriticalSection(&lock_);
}

bool logTarget::write(Igeneric* message) {
    if (!message)
        return false;
    ref<Igeneric> held(message);  // consumes a message nobody else holds
    if (Istring* text = interfaceCast<Istring>(message)) {
        EnterCriticalSection(&lock_);
        bool taken = redirect_ != nullptr || openFile();
        if (taken && !redirect_)
            writeLine(text->c_str());
        LeaveCriticalSection(&lock_);
        return taken;
    }
    if (interfaceCast<fs::Ifile>(message)) {
        EnterCriticalSection(&lock_);
        message->addRef();
        if (redirect_)
            redirect_->release();
        redirect_ = message;
        LeaveCriticalSection(&lock_);
        return true;
    }
    return false;
}

bool logTarget::openFile() {
    if (descriptor_ != -1)
        return true;
    const int flags = _O_WRONLY | _O_TRUNC | _O_TEXT;
    descriptor_ = _sopen(path_.c_str(), flags, _SH_DENYWR);
    if (descriptor_ == -1)
        descriptor_ = _sopen(path_.c_str(), flags | _O_CREAT, _SH_DENYWR, _S_IREAD | _S_IWRITE);
    return descriptor_ != -1;
}

void logTarget::writeLine(const char* text) {
    // One write per line, so that a reader never sees half a line.
    try {
        std::string line = "[*] ";
        if (text)
            line += text;
        line += '\n';
        _write(descriptor_, line.data(), static_cast<unsigned>(line.size()));
    } catch (...) {
        // Out of memory: the line is lost, the caller is not.
    }
}

}  // namespace vesk
