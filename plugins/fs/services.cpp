#include "plugins/fs/services.h"

namespace vesk::fs {

moduleServices& services() {
    static moduleServices instance;
    return instance;
}

}  // namespace vesk::fs
