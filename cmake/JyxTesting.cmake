# Test executables run natively for the Linux build and under wine for the
# Windows build. Under wine each executable is one ctest test that needs the
# per-build wine prefix; natively every GoogleTest case is its own ctest test.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND WIN32)
  find_program(JYX_WINE wine REQUIRED)
  set(JYX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${PROJECT_SOURCE_DIR}/tools/wine/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  add_test(NAME wine_prefix COMMAND sh ${PROJECT_SOURCE_DIR}/tools/wine/make-prefix.sh ${JYX_WINE_PREFIX})
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine)
  add_test(NAME wine_shutdown COMMAND sh -c "WINEPREFIX='${JYX_WINE_PREFIX}' wineserver -k || true")
  set_tests_properties(wine_shutdown PROPERTIES FIXTURES_CLEANUP wine)
endif()

# jyx_add_gtest(<target> SOURCES <files...> LIBS <libs...> [LOCKS <resources...>])
function(jyx_add_gtest target)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LOCKS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    JYX_SOURCE_DIR="${PROJECT_SOURCE_DIR}" JYX_PLUGIN_DIR="${JYX_PLUGIN_DIR}")
  if(CMAKE_CROSSCOMPILING AND WIN32)
    add_test(NAME ${target} COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh $<TARGET_FILE:${target}>)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine)
    if(T_LOCKS)
      set_tests_properties(${target} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
