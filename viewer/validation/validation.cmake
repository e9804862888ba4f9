# The Qt-free host files belong to lumtrace_validation_host (see CMakeLists.txt here); the
# viewer library links that instead of compiling them a second time.
get_target_property(viewer_sources lumtrace_viewer SOURCES)
list(FILTER viewer_sources EXCLUDE REGEX "/validation/(HostText|PluginHost|ValidationReportXML)\\.(cpp|h)$")
set_target_properties(lumtrace_viewer PROPERTIES SOURCES "${viewer_sources}")
target_link_libraries(lumtrace_viewer PUBLIC lumtrace_validation_host)
