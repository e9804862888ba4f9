# Validation window and host tests: the real plug-in, the stand-in plug-ins for loader failures,
# and pugixml to read the saved reports back.
include(${PROJECT_SOURCE_DIR}/tests/support/fakeplugin/fakeplugin.cmake)
find_package(pugixml REQUIRED)

target_link_libraries(viewer_tests PRIVATE pugixml::pugixml)
add_dependencies(viewer_tests Sievra fake_scripted fake_noreportset fake_noexport
                 fake_exportfails fake_exportnothing)
target_compile_definitions(viewer_tests PRIVATE
    VALIDATION_SIEVRA_FILE="$<TARGET_FILE:Sievra>"
    VALIDATION_FAKE_PLUGIN_DIR="$<TARGET_FILE_DIR:fake_scripted>"
)
