# Compiles the schema files into the binary, so that `admin init` needs nothing beside it.
# The files run in the order of their names.
function(lumora_embed_schema target)
    file(GLOB schema_files CONFIGURE_DEPENDS "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/*.sql")
    list(SORT schema_files)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${schema_files})
    set(entries "")
    foreach(file IN LISTS schema_files)
        get_filename_component(name "${file}" NAME)
        file(READ "${file}" sql)
        string(APPEND entries "    {\"${name}\", R\"lumora_sql(${sql})lumora_sql\"},\n")
    endforeach()
    set(out "${CMAKE_CURRENT_BINARY_DIR}/lumora_schema_sql.cpp")
    file(CONFIGURE OUTPUT "${out}" CONTENT
"#include \"schema_sql.h\"

namespace lumora::admin {

static const SchemaFile kSchemaFiles[] = {
@entries@};

std::span<const SchemaFile> embeddedSchema() { return kSchemaFiles; }

} // namespace lumora::admin
" @ONLY)
    target_sources(${target} PRIVATE "${out}")
endfunction()
