#pragma once

#include "ServeOptions.h"

namespace remotedb {

// Runs the service until SIGTERM or SIGINT; returns the process exit code.
int runService(const ServeOptions& options);

} // namespace remotedb
