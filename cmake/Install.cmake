# Installed layout: the programs in bin/, the plug-in in lib/lumtrace/ (where the programs look
# when it is not beside them), everything else under share/.
include(GNUInstallDirs)

set(LUMTRACE_INSTALL_TARGETS)
foreach(target Lumtrace lumtrace-validate lumtrace-export lumtrace-diff lumtrace-fix)
    if(TARGET ${target})
        list(APPEND LUMTRACE_INSTALL_TARGETS ${target})
    endif()
endforeach()
install(TARGETS ${LUMTRACE_INSTALL_TARGETS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET Sievra)
    # Fixed, not CMAKE_INSTALL_LIBDIR: the programs find it by this path relative to bin/.
    install(TARGETS Sievra LIBRARY DESTINATION lib/lumtrace)
    if(TARGET SievraSetup)
        # Its setup dialogs, which it loads from its own folder.
        install(TARGETS SievraSetup LIBRARY DESTINATION lib/lumtrace)
    endif()
    # The delivery profiles sit beside the plug-in, which looks for them there.
    file(GLOB SIEVRA_PROFILE_FILES ${PROJECT_SOURCE_DIR}/plugin/profiles/*.ini)
    install(FILES ${SIEVRA_PROFILE_FILES} DESTINATION lib/lumtrace/profiles)
endif()

add_subdirectory(desktop)
# The manuals (compressed, as the others) and completions of the programs built outside desktop/.
foreach(program diff fix)
    if(NOT TARGET lumtrace-${program})
        continue()
    endif()
    set(page ${CMAKE_BINARY_DIR}/desktop/lumtrace-${program}.1.gz)
    add_custom_command(OUTPUT ${page}
        COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/desktop/man/lumtrace-${program}.1 > ${page}
        DEPENDS ${PROJECT_SOURCE_DIR}/desktop/man/lumtrace-${program}.1
        VERBATIM)
    add_custom_target(lumtrace_${program}_man_page ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${PROJECT_SOURCE_DIR}/desktop/bash-completion/lumtrace-${program}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endforeach()
include(cmake/Packaging.cmake)
