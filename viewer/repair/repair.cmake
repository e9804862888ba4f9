#Tools> Repair... proposes and writes changes through the Qt - free repair engine, with the
#delivery profiles it reads.
target_link_libraries(lumtrace_viewer PUBLIC lumtrace_repair_profiles)
