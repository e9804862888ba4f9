# Links cmake/sanitizer/SanitizerDefaults.cpp into every executable of the tree, so each program
# and test of a sanitizer build carries the suppressions without any environment variable.
add_library(lumtrace_sanitizer_defaults OBJECT ${CMAKE_CURRENT_LIST_DIR}/sanitizer/SanitizerDefaults.cpp)
target_compile_definitions(lumtrace_sanitizer_defaults PRIVATE
    $<$<BOOL:${LUMTRACE_SANITIZE}>:LUMTRACE_LSAN_DEFAULTS>
    $<$<BOOL:${LUMTRACE_TSAN}>:LUMTRACE_TSAN_DEFAULTS>)

function(lumtrace_executables_in dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    set(found)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            list(APPEND found ${target})
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir ${subdirs})
        lumtrace_executables_in(${subdir} below)
        list(APPEND found ${below})
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

lumtrace_executables_in(${PROJECT_SOURCE_DIR} lumtrace_executables)
foreach(target ${lumtrace_executables})
    target_link_libraries(${target} PRIVATE lumtrace_sanitizer_defaults)
endforeach()
