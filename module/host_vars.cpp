#include "module/host_vars.h"

namespace orvane {

ModuleVar shared_vars[detail::shared_var_count] = {
#define ORVANE_VAR_RECORD(name, number) {.id = name},
    ORVANE_HOST_VARIABLES(ORVANE_VAR_RECORD)
#undef ORVANE_VAR_RECORD
};

const char* host_var_name(int32_t id) {
    switch (id) {
#define ORVANE_VAR_NAME(name, number) \
    case name:                    \
        return #name;
        ORVANE_HOST_VARIABLES(ORVANE_VAR_NAME)
#undef ORVANE_VAR_NAME
    }
    return nullptr;
}

}  // namespace orvane
