// The process-wide key holder that getRegString, setReg, setRegDWord and
// delReg share, and the lock that keeps their uses of it apart: without it,
// two Java threads would share one handle and one could close the other's key.
#pragma once

#include "platform/lock.h"
#include "registry/registry_key.h"

extern CRegistryKey theRegKey;

namespace registry {
extern platform::Lock the_reg_key_lock;
}  // namespace registry
