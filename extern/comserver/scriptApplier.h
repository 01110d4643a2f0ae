// Writes a parsed registry script into the registry and takes it out again
// (see registryScript.h for what each kind of key keeps on removal).
#pragma once

#include <windows.h>

#include "extern/comserver/registryScript.h"

namespace vesk::comserver {

// Writes every key and value; stops at the first failure and answers it
// (what was written up to there stays: removeScript takes it away).
HRESULT applyScript(const registryScript& script);

// Takes away what the script owns; missing keys and values are no failure.
// Goes on past a failure and answers the first one.
HRESULT removeScript(const registryScript& script);

}  // namespace vesk::comserver
