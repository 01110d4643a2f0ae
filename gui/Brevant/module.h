// The module Brevant.dll was loaded as.
#pragma once

#include <windows.h>

namespace vesk::brevant {

HMODULE brevantModule();

}  // namespace vesk::brevant
