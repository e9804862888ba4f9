# Save Report writes the HTML report through the Qt-free report library.
target_link_libraries(lumtrace_viewer PUBLIC lumtrace_report)
