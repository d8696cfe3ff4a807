# One target per folder of the layout.  Sources are picked up from the
# folder itself, so adding a unit needs no edit here.
function(kv_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_compile_options(${name} PRIVATE ${KV_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARGN})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN})
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${CMAKE_SOURCE_DIR})
endfunction()

# One static library made of several folders.
function(kv_library_of name dirs)
  set(srcs "")
  foreach(dir ${dirs})
    file(GLOB dsrcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND srcs ${dsrcs})
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# A Windows executable with the program's resources linked in.
function(kv_executable name)
  cmake_parse_arguments(KV "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${KV_SOURCES} $<TARGET_OBJECTS:kv_resources>)
  target_compile_options(${name} PRIVATE ${KV_WARNINGS})
  target_link_libraries(${name} PRIVATE ${KV_LIBS})
  if(KV_GUI)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
endfunction()

# One test executable (one ctest entry) per folder of tests/.
function(kv_test_folder dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  # A folder's own resources (form resources of test classes).
  file(GLOB rcs CONFIGURE_DEPENDS ${dir}/*.rc)
  list(APPEND srcs ${rcs})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${dir})
  string(REPLACE "/" "_" name "test_${rel}")
  kv_executable(${name} SOURCES ${srcs} LIBS ${ARGN} gtest gmock)
  target_compile_definitions(${name} PRIVATE KV_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures")
  add_test(NAME ${name} COMMAND ${name})
  # A test program that crashes under Wine (an unhandled exception, a stack
  # overflow) may still end with exit code 0: its report says so.
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 FAIL_REGULAR_EXPRESSION "wine: Unhandled")
endfunction()

# A form text as the program carries it: a binary value written {@path} is
# replaced by the hexadecimal lines of the file BASE/path when the program
# is built (classlib/streaming/FORMAT.md).
function(kv_form_text src out base)
  file(STRINGS ${src} lines REGEX "{@[^}]*}")
  set(deps "")
  foreach(line IN LISTS lines)
    string(REGEX MATCHALL "{@[^}]*}" refs "${line}")
    foreach(ref IN LISTS refs)
      string(REGEX REPLACE "^{@(.*)}$" "\\1" rel "${ref}")
      list(APPEND deps ${base}/${rel})
    endforeach()
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DSRC=${src} -DOUT=${out} -DBASE=${base}
            -P ${CMAKE_SOURCE_DIR}/cmake/kv_form_data.cmake
    DEPENDS ${src} ${deps} ${CMAKE_SOURCE_DIR}/cmake/kv_form_data.cmake
    VERBATIM)
endfunction()
