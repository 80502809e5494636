// The module linked into a test program, as a host would name it: the
// program's base address is the instance handle under which the native
// platform finds the module's resources (the callout among them).
#pragma once

#include <dlfcn.h>

#include "module/host_abi.h"
#include "module/linkage.h"

namespace orvane::hardening {

inline ServiceExtra linked_module_instance() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ImportTable), &info) == 0) return 0;
    return reinterpret_cast<ServiceExtra>(info.dli_fbase);
}

}  // namespace orvane::hardening
