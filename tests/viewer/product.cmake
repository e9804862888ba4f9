# Product tests: version blocks made with the build's own block writer, the built binaries read
# back, and the update check against a local HTTP server (cpp-httplib).
find_package(PkgConfig REQUIRED)
pkg_check_modules(CPP_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)

target_sources(viewer_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/product_fixtures.cpp
    ${PROJECT_SOURCE_DIR}/cmake/versiongen/VersionBlockWriter.cpp
)
target_include_directories(viewer_tests PRIVATE ${PROJECT_SOURCE_DIR}/cmake/versiongen)
target_link_libraries(viewer_tests PRIVATE PkgConfig::CPP_HTTPLIB Threads::Threads)

# The deliverables are read back with the version this build gave them.
add_dependencies(viewer_tests Lumtrace Sievra)
target_compile_definitions(viewer_tests PRIVATE
    LUMTRACE_PROGRAM_FILE="$<TARGET_FILE:Lumtrace>"
    LUMTRACE_PLUGIN_FILE="$<TARGET_FILE:Sievra>"
    LUMTRACE_BUILT_VERSION="${Lumtrace_VERSION}"
)
lumtrace_use_update_check(viewer_tests)
