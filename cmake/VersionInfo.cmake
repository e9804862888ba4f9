# Version information of our binaries and the build settings of the update check.
#
# lumtrace_add_version_info(<target> [FILE_DESCRIPTION text] [ORIGINAL_FILENAME name]
#                           [INTERNAL_NAME name] [PRODUCT_NAME name])
#   Generates a version block (the Windows VS_VERSIONINFO layout) from the project version and
#   links it into <target> in the ELF section ".rsrc_version", where TVersionInfo reads it back.
#
# lumtrace_use_update_check(<target>)
#   Links libcurl and gives <target> the generated LumtraceBuildConfig.h (update addresses,
#   version).

include_guard(GLOBAL)

set(LUMTRACE_VERSION_SECTION ".rsrc_version")
set(LUMTRACE_COMPANY_NAME "Vantorel")
set(LUMTRACE_COPYRIGHT "Copyright (C) 2012 Vantorel")
set(LUMTRACE_WEB_SITE "http://www.vantorel.com" CACHE STRING
    "Maker's web site shown in the about box and named in the update prompt")
set(LUMTRACE_MAIL "support@vantorel.com" CACHE STRING "Maker's mail address shown in the about box")

add_executable(lumtrace_versiongen
    ${CMAKE_CURRENT_LIST_DIR}/versiongen/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/versiongen/VersionBlockWriter.cpp
)
# A build tool: keep it out of bin/, where the deliverables live.
set_target_properties(lumtrace_versiongen PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

function(lumtrace_add_version_info target)
    cmake_parse_arguments(PARSE_ARGV 1 ARG ""
        "FILE_DESCRIPTION;ORIGINAL_FILENAME;INTERNAL_NAME;PRODUCT_NAME" "")
    get_target_property(kind ${target} TYPE)
    if(kind STREQUAL "EXECUTABLE")
        set(type app)
    else()
        set(type dll)
    endif()
    if(NOT ARG_ORIGINAL_FILENAME)
        set(ARG_ORIGINAL_FILENAME "$<TARGET_FILE_NAME:${target}>")
    endif()
    if(NOT ARG_INTERNAL_NAME)
        set(ARG_INTERNAL_NAME "${target}")
    endif()
    if(NOT ARG_PRODUCT_NAME)
        set(ARG_PRODUCT_NAME "${PROJECT_NAME}")
    endif()
    if(NOT ARG_FILE_DESCRIPTION)
        set(ARG_FILE_DESCRIPTION "${target}")
    endif()

    set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_block.c)
    add_custom_command(OUTPUT ${out}
        COMMAND lumtrace_versiongen
            --output ${out}
            --version ${Lumtrace_VERSION}
            --type ${type}
            --debug $<IF:$<CONFIG:Debug>,1,0>
            --section ${LUMTRACE_VERSION_SECTION}
            --string "CompanyName=${LUMTRACE_COMPANY_NAME}"
            --string "FileDescription=${ARG_FILE_DESCRIPTION}"
            --string "FileVersion=${Lumtrace_VERSION}"
            --string "InternalName=${ARG_INTERNAL_NAME}"
            --string "LegalCopyright=${LUMTRACE_COPYRIGHT}"
            --string "OriginalFilename=${ARG_ORIGINAL_FILENAME}"
            --string "ProductName=${ARG_PRODUCT_NAME}"
            --string "ProductVersion=${Lumtrace_VERSION}"
        DEPENDS lumtrace_versiongen
        COMMENT "Generating the version block of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE ${out})
endfunction()

find_package(CURL REQUIRED)

function(lumtrace_c_string out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

lumtrace_c_string(LUMTRACE_UPDATE_URL_C "${LUMTRACE_UPDATE_URL}")
lumtrace_c_string(LUMTRACE_UPDATE_PAGE_C "${LUMTRACE_UPDATE_PAGE}")
lumtrace_c_string(LUMTRACE_RELEASE_NOTES_C "${LUMTRACE_RELEASE_NOTES}")
lumtrace_c_string(LUMTRACE_WEB_SITE_C "${LUMTRACE_WEB_SITE}")
lumtrace_c_string(LUMTRACE_MAIL_C "${LUMTRACE_MAIL}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/LumtraceBuildConfig.h.in
    ${CMAKE_BINARY_DIR}/generated/LumtraceBuildConfig.h @ONLY)

function(lumtrace_use_update_check target)
    target_link_libraries(${target} PRIVATE CURL::libcurl)
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated)
endfunction()
