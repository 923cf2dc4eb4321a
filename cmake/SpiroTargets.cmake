# Our static libraries are linked whole into every program and the plug-in, so that class
# objects and response tables that register themselves from static initialisers are never
# dropped by the linker. Libraries link their dependencies plainly and record them in
# SPIRO_DEPS; a final target loads the closure of them whole once, ahead of everything else
# (the plain copies later on the line then add nothing).
function(spiro_collect out)
  set(found ${${out}})
  foreach(dep IN LISTS ARGN)
    if(TARGET ${dep} AND NOT dep IN_LIST found)
      get_target_property(imported ${dep} IMPORTED)
      if(NOT imported)
        get_target_property(type ${dep} TYPE)
        if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "INTERFACE_LIBRARY")
          list(APPEND found ${dep})
          get_target_property(deps ${dep} SPIRO_DEPS)
          if(deps)
            spiro_collect(found ${deps})
          endif()
        endif()
      endif()
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(spiro_link target scope)
  target_link_libraries(${target} ${scope} ${ARGN})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE" OR type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
    set(closure "")
    spiro_collect(closure ${ARGN})
    set(whole "")
    foreach(lib IN LISTS closure)
      get_target_property(libtype ${lib} TYPE)
      if(libtype STREQUAL "STATIC_LIBRARY")
        list(APPEND whole "$<TARGET_FILE:${lib}>")
      endif()
    endforeach()
    if(whole)
      target_link_options(${target} PRIVATE "LINKER:--whole-archive" ${whole} "LINKER:--no-whole-archive")
    endif()
  else()
    set_property(TARGET ${target} APPEND PROPERTY SPIRO_DEPS ${ARGN})
  endif()
endfunction()

# One static library per source folder, made of every .cpp below it (EXCLUDE drops paths
# matching a regex). Headers are included as "folder/Name.h" from the folder's parent.
function(spiro_library name dir)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  get_filename_component(parent ${dir} DIRECTORY)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${parent})
    spiro_link(${name} PUBLIC ${ARG_DEPS})
  else()
    # A folder whose code has not come yet: its users still name it.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${parent})
    spiro_link(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# A GoogleTest executable made of every .cpp under a test folder. Test executables may act
# as host: they export the host entry as spirohost does.
function(spiro_test name dir)
  cmake_parse_arguments(ARG "" "TIMEOUT;SHARDS" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  spiro_link(${name} PRIVATE ${ARG_DEPS})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    SPIRO_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    SPIRO_BUNDLE_DIR="${SPIRO_BUNDLE_DIR}"
    SPIRO_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  if(NOT ARG_SHARDS OR ARG_SHARDS LESS 2)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    return()
  endif()
  # Tests that mostly wait (on browsers' and writes' time limits) run as shards, side by side
  # with the rest, so that the longest executable does not set the whole run's length; they
  # start first (a high cost), so that the short executables fill the slots around them.
  math(EXPR last "${ARG_SHARDS} - 1")
  foreach(shard RANGE ${last})
    add_test(NAME ${name}_${shard} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name}_${shard} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${ARG_SHARDS};GTEST_SHARD_INDEX=${shard}" COST 1000)
  endforeach()
endfunction()
