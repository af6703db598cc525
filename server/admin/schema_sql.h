#pragma once

#include <span>

namespace lumora::admin {

struct SchemaFile {
    const char* name;
    const char* sql;
};

// The files of server/schema in the order `admin init` applies them.
std::span<const SchemaFile> embeddedSchema();

} // namespace lumora::admin
