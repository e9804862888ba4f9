# A module for dlopen whose only exports are those its version script names: the static
# libraries linked into it stay private, and nothing may be left for the host to resolve.
function(lumtrace_private_module target version_script)
    set_target_properties(${target} PROPERTIES
        PREFIX ""
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${version_script})
    target_link_options(${target} PRIVATE
        -Wl,--version-script=${version_script}
        -Wl,--no-undefined)
endfunction()
