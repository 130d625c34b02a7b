// The RAII holder of CF references lives with the host-facing headers so the host can use it too.
#pragma once

#include <platform/cf_ref.h>
