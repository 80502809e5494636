// A room that reaches down only, but into tools/: what the rooms check must refuse.
#include "host/services/loader.h"
#include "tools/art/art.h"
