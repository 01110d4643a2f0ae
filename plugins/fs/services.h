// What the file-system module keeps from its registration: the factory its
// objects make buffers and vectors with, and its own entity token as owner.
#pragma once

#include "vesk/directory.h"
#include "vesk/factory.h"

namespace vesk::fs {

struct moduleServices {
    Ifactory* factory = nullptr;    // not owned: a core object
    IentityToken* owner = nullptr;  // one reference, from _register to _unload
};

moduleServices& services();

// Frees an object that was made (count 0) and is not handed out after all.
inline void dropNew(Igeneric* object) {
    if (object) {
        object->addRef();
        object->release();
    }
}

}  // namespace vesk::fs
