# cpack -G DEB (scripts/package): a Debian package whose dependencies dpkg-shlibdeps works out
# from the installed binaries.
set(CPACK_PACKAGE_NAME "lumtrace")
set(CPACK_PACKAGE_VENDOR "Vantorel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer and validator for EBU STL subtitle files")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumtrace shows the subtitles, the GSI and TTI fields and the raw bytes of EBU STL subtitle\
 files, and checks them with the Sievra validation plug-in, in a window or in batches on the\
 command line (lumtrace-validate). lumtrace-export writes the subtitles as SubRip, WebVTT or\
 plain text; lumtrace-fix repairs what the checks find and lists every change.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lumtrace developers <lumtrace@vantorel.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION "video")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.vantorel.com/lumtrace/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plug-in at run time, so no library dependency names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_GENERATOR "DEB")
include(CPack)
