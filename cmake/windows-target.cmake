# Every Windows program we build: statically linked, so that it needs no DLL beside it, and marked
# for subsystem and OS version 5.01 so that Windows XP SP3 loads it.
add_compile_definitions(UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
add_link_options(
    -static
    -Wl,--major-subsystem-version,5,--minor-subsystem-version,1
    -Wl,--major-os-version,5,--minor-os-version,1
)

# The shipped programs are the same to the byte from any clone of a commit, in any folder, at any
# time. The source and build folders are mapped out of everything the compiler writes...
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)

# ...and the PE header's time stamp is the last commit's time: GNU ld takes it from
# SOURCE_DATE_EPOCH. A given SOURCE_DATE_EPOCH wins; a copy without git history and without one
# gets 0.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(QUILLORA_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    execute_process(COMMAND git log -1 --format=%ct
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE QUILLORA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT QUILLORA_SOURCE_DATE_EPOCH)
        set(QUILLORA_SOURCE_DATE_EPOCH 0)
    endif()
endif()
# Rewritten only when the time changes; the shipped programs depend on it, so that a new commit
# relinks them with its time, and make dist gives the zip's entries the same time.
set(QUILLORA_SOURCE_DATE_FILE ${PROJECT_BINARY_DIR}/source-date-epoch.txt)
file(CONFIGURE OUTPUT ${QUILLORA_SOURCE_DATE_FILE} CONTENT "${QUILLORA_SOURCE_DATE_EPOCH}\n")

# A shipped program is linked with the commit's time and relinked when it changes. Only the two
# shipped programs: stamping the tests and tools too would relink all of them at every commit.
function(quillora_stamp_commit_time target)
    set_target_properties(${target} PROPERTIES
        CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=${QUILLORA_SOURCE_DATE_EPOCH}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUILLORA_SOURCE_DATE_FILE})
endfunction()
