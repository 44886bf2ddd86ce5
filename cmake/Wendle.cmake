# One static library per source folder; the folder's own files only (not its
# sub-folders), so a logic folder and its ui/ folder stay separate targets.
function(wendle_library name dir)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/src/${dir}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  wendle_warnings(${name})
endfunction()

option(WENDLE_WERROR "Treat compiler warnings as errors (CI)" OFF)
function(wendle_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic $<$<BOOL:${WENDLE_WERROR}>:-Werror>)
endfunction()

# AddressSanitizer and UndefinedBehaviorSanitizer over the whole build
# (scripts/sanitize runs the core tests in it).
option(WENDLE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(WENDLE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The executable of the tests in tests/<dir>/, on the test main MAIN (core:
# QCoreApplication, gui: QGuiApplication, widgets: QApplication).
function(wendle_test_executable name dir main)
  file(GLOB sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/tests/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/tests/${dir}/*.h)
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN} test_main_${main})
  wendle_warnings(${name})
endfunction()

# One test executable per folder; MAIN picks the application object the
# tests need (see wendle_test_executable).
function(wendle_tests name dir)
  cmake_parse_arguments(ARG "" "MAIN;LABEL" "LINKS" ${ARGN})
  wendle_test_executable(${name} ${dir} ${ARG_MAIN} ${ARG_LINKS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS ${ARG_LABEL}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=UTC"
    TIMEOUT 300)
endfunction()

# The desktop suite in tests/<dir>/: the real program on an X desktop of its
# own, driven through the X server. Every test is a ctest entry of its own,
# labelled desktop, so entries run side by side, each on its own server.
include(GoogleTest)
function(wendle_desktop_tests name dir)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  wendle_test_executable(${name} ${dir} core ${ARG_LINKS})
  gtest_discover_tests(${name} TEST_PREFIX ${dir}. DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS desktop TIMEOUT 180 ENVIRONMENT "LC_ALL=C.UTF-8;TZ=UTC")
endfunction()

# A benchmark is bench/<name>.cpp, built with the rest but never run by the tests.
function(wendle_bench name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  add_executable(${name} ${PROJECT_SOURCE_DIR}/bench/${name}.cpp)
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LINKS})
  wendle_warnings(${name})
endfunction()

# Fuzzing (scripts/fuzz): a separate clang build in which every library is
# instrumented for libFuzzer's coverage and checked by AddressSanitizer and
# UndefinedBehaviorSanitizer, and each stored file's decoder gets a program.
option(WENDLE_FUZZ "Build the libFuzzer programs (clang only; see scripts/fuzz)" OFF)
if(WENDLE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "WENDLE_FUZZ needs clang: configure with CXX=clang++")
  endif()
  # Light optimisation and line tables only: quick to build, and reports still name the line.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -O1 -gline-tables-only)
  add_link_options(-fsanitize=address,undefined)
endif()

# A fuzzing program, its seed files in fuzz/corpus/<name>/ and an optional
# dictionary in fuzz/<name>.dict. For a file type with `decode`, `encoded` and
# equality, FILE and HEADER name it and the program is written here; otherwise
# it is fuzz/<name>.cpp. It exists only in the fuzzing build, in <build>/fuzz/.
function(wendle_fuzzer name)
  if(NOT WENDLE_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "FILE;HEADER" "LINKS" ${ARGN})
  set(source ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp)
  if(ARG_FILE)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT
      "#include \"FuzzDecoder.h\"\n#include \"${ARG_HEADER}\"\n\nWENDLE_FUZZ_ROUND_TRIP(${ARG_FILE})\n")
  endif()
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
  target_link_libraries(${name} PRIVATE ${ARG_LINKS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  wendle_warnings(${name})
endfunction()

# Qt's and GoogleTest's headers take most of the time of compiling one of our
# files (two seconds for <QString> alone). Every target of several files
# compiles the common ones once, as far as its links reach; a target of one
# or two files (a benchmark, a fuzzing program) gains nothing from it.
set(WENDLE_CORE_HEADERS <QString> <QObject> <QList> <QByteArray> <QHash> <QVariant>
    <algorithm> <functional> <memory> <optional> <vector>)
set(WENDLE_GUI_HEADERS <QColor> <QImage> <QPainter>)
set(WENDLE_WIDGETS_HEADERS <QWidget> <QLabel> <QPushButton>)

# Every target `target` links, itself included, following links of links.
function(wendle_link_closure target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue next)
    if(next IN_LIST seen OR NOT TARGET ${next})
      continue()
    endif()
    list(APPEND seen ${next})
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(links ${next} ${property})
      if(links)
        list(APPEND queue ${links})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(wendle_precompile_headers dir)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    wendle_precompile_headers(${subdir})
  endforeach()
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(sources ${target} SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(count LESS 3)
      continue()
    endif()
    wendle_link_closure(${target} links)
    set(headers ${WENDLE_CORE_HEADERS})
    if(Qt6::Gui IN_LIST links)
      list(APPEND headers ${WENDLE_GUI_HEADERS})
    endif()
    if(Qt6::Widgets IN_LIST links)
      list(APPEND headers ${WENDLE_WIDGETS_HEADERS})
    endif()
    if(GTest::gtest IN_LIST links)
      list(APPEND headers <gtest/gtest.h>)
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
  endforeach()
endfunction()
