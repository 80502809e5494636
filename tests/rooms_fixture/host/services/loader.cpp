// A room that reaches up: what the rooms check must refuse.
#include "host/base/files.h"
#include "host/panel/panel.h"
