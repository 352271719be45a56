# Common compile settings for every target of ours.
add_library(vx_settings INTERFACE)
target_compile_features(vx_settings INTERFACE cxx_std_20)
target_compile_options(vx_settings INTERFACE -Wall -Wextra)
# The CI build turns every warning into an error so none comes back.
option(VX_WERROR "Treat compiler warnings as errors" OFF)
if(VX_WERROR)
  target_compile_options(vx_settings INTERFACE -Werror)
endif()
# Text never silently turns into bytes or back: every such step goes through
# our Windows-1252 pair.
target_compile_definitions(vx_settings INTERFACE
    QT_RESTRICTED_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
target_include_directories(vx_settings INTERFACE ${PROJECT_SOURCE_DIR})

# vx_add_test_folder(<libraries...>)
# One test executable per *.cpp in the calling folder, registered with CTest.
# Tests whose name contains "_qt" (or every test when QT is given) get a
# main that creates a QApplication on the offscreen platform.
function(vx_add_test_folder)
  cmake_parse_arguments(ARG "QT" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "_" prefix "${rel}")
  foreach(src ${sources})
    get_filename_component(name ${src} NAME_WE)
    set(target test_${prefix}_${name})
    add_executable(${target} ${src} ${PROJECT_SOURCE_DIR}/tests/support/TestData.cpp)
    # The folder's data when the test is run by hand, not through ctest.
    target_compile_definitions(${target} PRIVATE VX_DEFAULT_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
    target_link_libraries(${target} PRIVATE vx_settings vx_test_env ${ARG_LIBS} GTest::gtest GTest::gmock)
    if(ARG_QT OR name MATCHES "_qt")
      target_link_libraries(${target} PRIVATE vx_test_qt_main)
    else()
      target_link_libraries(${target} PRIVATE GTest::gtest_main)
    endif()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${prefix}/${name} COMMAND ${target})
    set_tests_properties(${prefix}/${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VX_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data;VX_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
  endforeach()
endfunction()

# vx_add_bench(<name> <sources> LIBS <libraries>)
function(vx_add_bench name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(bench_${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(bench_${name} PRIVATE vx_settings ${ARG_LIBS})
  set_target_properties(bench_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# vx_check_links_none(<target> <forbidden...>)
# Fails the configure step when <target> links any of the forbidden
# libraries, directly or through what it links. Keeps model code free of
# windows: call it after every target is defined.
function(vx_check_links_none target)
  set(seen)
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(aliased ${current} ALIASED_TARGET)
    if(aliased)
      list(APPEND queue ${aliased})
    endif()
    foreach(forbidden ${ARGN})
      if(current STREQUAL forbidden OR aliased STREQUAL forbidden)
        message(FATAL_ERROR "${target} must not link ${forbidden} (reached through its libraries)")
      endif()
    endforeach()
    get_target_property(type ${current} TYPE)
    set(props INTERFACE_LINK_LIBRARIES)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      list(APPEND props LINK_LIBRARIES)
    endif()
    foreach(prop ${props})
      get_target_property(libs ${current} ${prop})
      if(libs)
        foreach(lib ${libs})
          string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
          if(NOT lib MATCHES "^\\$<")
            list(APPEND queue ${lib})
          endif()
        endforeach()
      endif()
    endforeach()
  endwhile()
endfunction()
