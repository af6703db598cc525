#pragma once

// `lumora-remotedb admin <command> [options]`: schema, tenants, users, master data, demo tenant and
// start links. argv[0] is the program, argv[1] "admin". Returns the process exit code.
int runAdmin(int argc, char** argv);
