#include "module/host_vars.h"

namespace orvane {

ModuleVar shared_vars[detail::shared_var_count] = {
#define ORVANE_VAR_RECORD(name, number) {.id = name},
    ORVANE_HOST_VARIABLES(ORVANE_VAR_RECORD)
#undef ORVANE_VAR_RECORD
};

}  // namespace orvane
