# norvale_add_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>])
#
# Builds one Qt Test program and registers it with CTest. Every test runs with a
# pinned locale and the offscreen platform, so no test depends on the user's
# locale, home or display. Test data is found through NORVALE_TEST_DATA; the
# "recorded" fake checker finds its recordings through NORVALE_RECORDINGS.
function(norvale_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    target_compile_definitions(${name} PRIVATE
        NORVALE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        NORVALE_APP_DIR="${NORVALE_APP_DIR}"
        NORVALE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_QPA_PLATFORM=offscreen;NORVALE_RECORDINGS=${PROJECT_SOURCE_DIR}/tests/data/recorded;${ARG_ENV}"
        TIMEOUT 300)
endfunction()
