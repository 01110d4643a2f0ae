// The share engine: the shared folders, every file found in them with its
// SHA-1 hash in base-32 form, and the look-ups the protocols answer from.
// Published as "vesk::share2::IShareEngine *".
//
// Shared objects (files and folders) are owned by the engine and live as
// long as it does; they are never deleted, only marked inactive, so a
// pointer obtained from the engine stays valid for the life of the process.
// No reference counting is involved.
#pragma once

#include <windows.h>

#include "vesk/containers.h"
#include "vesk/object.h"

namespace vesk::share2 {

// Length of a hash text without its terminating NUL.
constexpr unsigned hashTextLength = 32;
// Size of every path buffer handed to or filled by the engine.
constexpr unsigned pathBufferSize = 260;

// One shared file or folder. A plain interface: no queries, no counts.
struct IShareObj {
    // The object's index: 0 .. objectCount() - 1, in creation order.
    virtual unsigned getId() = 0;
    // Appends the full local path (a folder's ends in '\') to out, a buffer
    // of pathBufferSize bytes, normally zeroed. Nothing is appended when the
    // text already in out leaves no room for it.
    virtual void getPath(char* out) = 0;
    // A file: its name as listed, case kept. A folder: "". Never null.
    virtual const char* getName() = 0;
    // A file: its size in bytes (files of 4 GiB or more, whose size the
    // protocol's 32-bit fields cannot carry, are not shared). A folder: the
    // sum over everything found in it since start (32-bit arithmetic).
    virtual unsigned getSize() = 0;
    // A file: the 32-character base-32 SHA-1 text, "" until hashed.
    // A folder: "". Never null.
    virtual const char* getHash() = 0;
};

// The argument of addShare: a NUL-terminated path and whether subfolders
// are shared too (nonzero).
struct shareSpec {
    char path[pathBufferSize];
    int recursive;
};

// Window message sent to every registered window (wParam 0, lParam 0) when
// the share list file has changed, before it is read again.
constexpr UINT shareListChangedMessage = 1913;

struct IShareEngine : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::share2::IShareEngine *";

    // Re-reads the share list file: path, or null for "pelloran.ini" in the
    // folder that was current when the engine was made. 0 when neither its
    // last-write time nor its bytes have changed since the last reading
    // (once a reading another thread has begun is applied), else 1.
    virtual int reloadConfig(const char* path) = 0;
    virtual int reserved1() = 0;  // 0
    // The shared files whose lower-case names contain every blank-separated
    // word of query. A new vector holding one reference, the caller's (who
    // releases it), of pointerInt values, each the address of an IShareObj; null
    // when query is null or shorter than 3 characters. A word given twice
    // counts once; a query of more than 64 distinct words matches nothing.
    virtual Ivector* search(const char* query) = 0;
    // The object with that id while it is shared (it and every folder
    // above it active), else null.
    virtual IShareObj* objectById(unsigned id) = 0;
    // The file whose hash text equals text exactly while it is shared, else
    // null. A hash shared by several files names the one hashed last.
    virtual IShareObj* fileByHash(const char* text) = 0;
    // Object ids issued so far (files and folders, active or not).
    virtual unsigned objectCount() = 0;
    // Sum of getSize() over every share (32 bits, bytes).
    virtual unsigned totalSize() = 0;
    // Registers a window for shareListChangedMessage, kept until
    // removeWindow. 0.
    virtual int addWindow(HWND window) = 0;
    // 1 when a new share was added and scanned; 0 when the folder was a
    // share already (it is updated and scanned again) or the argument is
    // unusable (null, empty, too long).
    virtual int addShare(shareSpec* spec) = 0;
    // 1 when the folder is a share (active or not), else 0.
    virtual int isShared(const char* path) = 0;
    // The share's recursive flag; 0 when the folder is no share.
    virtual int isRecursive(const char* path) = 0;
    // 1: enabled (changes are acted on); -1: stopped for good (running
    // scans, searches and hash walks end, both engine threads are ended
    // and waited for, within a bound); other values: paused. Returns state.
    virtual int setState(int state) = 0;
    // Forgets the window (every registration of it): a window removes
    // itself before it is destroyed, or its handle, which the system may
    // give to another window, would keep receiving the message. 1 when it
    // was registered, else 0.
    virtual int removeWindow(HWND window) = 0;
};

}  // namespace vesk::share2
