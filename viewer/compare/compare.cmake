# File > Compare With... shows the comparison engine's result.
target_link_libraries(lumtrace_viewer PUBLIC lumtrace_compare)
