# File > Export writes through the Qt-free export library.
target_link_libraries(lumtrace_viewer PUBLIC lumtrace_export)
