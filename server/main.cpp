#include "src/HttpService.h"
#include "src/ServeOptions.h"

#ifdef LUMORA_REMOTEDB_ADMIN
#include "admin/admin.h"
#endif

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "serve") == 0) {
        remotedb::ServeOptions options;
        std::string error;
        if (!remotedb::parseServeOptions(argc - 2, argv + 2, options, error)) {
            std::fprintf(stderr, "lumora-remotedb serve: %s\n%s", error.c_str(), remotedb::serveUsage);
            return 2;
        }
        return remotedb::runService(options);
    }
#ifdef LUMORA_REMOTEDB_ADMIN
    if (argc >= 2 && std::strcmp(argv[1], "admin") == 0)
        return runAdmin(argc, argv);
#endif
    std::fprintf(stderr, "usage: lumora-remotedb serve ... | lumora-remotedb admin <command> ...\n%s",
                 remotedb::serveUsage);
    return 2;
}
