# One place for the language standard, warnings and strict Qt defines; every target links it.
add_library(lumora_options INTERFACE)
target_compile_features(lumora_options INTERFACE cxx_std_20)
target_compile_options(lumora_options INTERFACE -Wall -Wextra -Wpedantic)
if(LUMORA_WERROR)
    target_compile_options(lumora_options INTERFACE -Werror)
endif()
target_compile_definitions(lumora_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_FOREACH)
if(LUMORA_ASAN)
    target_compile_options(lumora_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(lumora_options INTERFACE -fsanitize=address,undefined)
endif()
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
