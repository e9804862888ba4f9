# Stand-in plug-ins for host tests: a scripted one and one per loader failure. Included by the
# test folders that need them; defines the targets once.
include_guard(GLOBAL)

set(FAKE_PLUGIN_VARIANTS
    fake_scripted ""
    fake_noreportset FAKE_NO_REPORT_SET
    fake_noexport FAKE_NO_EXPORT
    fake_exportfails FAKE_EXPORT_FAILS
    fake_exportnothing FAKE_EXPORT_RETURNS_NOTHING
)
while(FAKE_PLUGIN_VARIANTS)
    list(POP_FRONT FAKE_PLUGIN_VARIANTS name definition)
    add_library(${name} MODULE ${CMAKE_CURRENT_LIST_DIR}/FakePlugin.cpp)
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".zkx" CXX_VISIBILITY_PRESET hidden)
    target_link_libraries(${name} PRIVATE lumtrace_plugin_api Threads::Threads)
    if(definition)
        target_compile_definitions(${name} PRIVATE ${definition})
    endif()
endwhile()
