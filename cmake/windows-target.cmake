# Every Windows program we build: statically linked, so that it needs no DLL beside it, and marked
# for subsystem and OS version 5.01 so that Windows XP SP3 loads it.
add_compile_definitions(UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
add_link_options(
    -static
    -Wl,--major-subsystem-version,5,--minor-subsystem-version,1
    -Wl,--major-os-version,5,--minor-os-version,1
)
