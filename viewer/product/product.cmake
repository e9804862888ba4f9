# The update check downloads with libcurl; the about box and the check read the addresses the
# build was configured with.
lumtrace_use_update_check(lumtrace_viewer)
