# Debian's hardening flags for the build that ships, as dpkg-buildflags gives them with
# every hardening feature on: fortified functions, stack protector, format checks, and a
# read-only relocation table bound at start (relro, bindnow). Optimisation and debug
# information stay with the build type. Left out of debug and sanitized builds, where
# fortification cannot work without optimisation.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(DPKG_BUILDFLAGS AND NOT NUMBRELLA_SANITIZE AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${DPKG_BUILDFLAGS} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        list(FILTER flags EXCLUDE REGEX "^-(O.*|g)$")
        if(kind STREQUAL "LDFLAGS")
            add_link_options(${flags})
        else()
            add_compile_options(${flags})
        endif()
    endforeach()
endif()
