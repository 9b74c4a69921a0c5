# Helpers shared by the project's CMake files.

# FFmpeg, for the movie writer.
function(vorrel_find_ffmpeg)
  if(NOT TARGET PkgConfig::FF)
    pkg_check_modules(FF REQUIRED IMPORTED_TARGET GLOBAL libavformat libavcodec libswscale libavutil)
  endif()
endfunction()

# vorrel_add_layer(<target> DIRS <dir>... [EXCLUDE <file>...] LIBS <lib>...)
# Builds a static library from every .cpp/.h (and Designer .ui form) in the
# given folders. A layer whose folders hold no source yet is skipped, as are
# libraries it names that do not exist yet; the pseudo library FFMPEG stands
# for FFmpeg.
function(vorrel_add_layer target)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE;LIBS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS L_DIRS)
    file(GLOB found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h ${CMAKE_SOURCE_DIR}/${dir}/*.ui)
    list(APPEND sources ${found})
  endforeach()
  foreach(ex IN LISTS L_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${ex})
  endforeach()
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(NOT cpp)
    return()
  endif()
  add_library(${target} STATIC ${sources})
  # Moc and uic must run again when a source joins or leaves the layer, but
  # with Ninja autogen only watches the sources it has already seen: when the
  # list changes, its stamp is removed so that it runs on this build.
  list(JOIN sources "\n" _list)
  set(_listFile ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
  if(EXISTS ${_listFile})
    file(READ ${_listFile} _old)
    if(NOT _old STREQUAL _list)
      file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    endif()
  endif()
  file(WRITE ${_listFile} "${_list}")
  # A class that holds its Designer form by value includes the generated
  # ui_*.h from its header, so whoever includes that header needs them too.
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/include)
  foreach(lib IN LISTS L_LIBS)
    if(lib STREQUAL "FFMPEG")
      vorrel_find_ffmpeg()
      target_link_libraries(${target} PUBLIC PkgConfig::FF)
    elseif(TARGET ${lib} OR lib MATCHES "^Qt5::")
      target_link_libraries(${target} PUBLIC ${lib})
    endif()
  endforeach()
endfunction()

# vorrel_add_test(<name> SOURCES <file>... LIBS <lib>...)
# A QtTest program registered with CTest, run headless at 96 dpi.
function(vorrel_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # A test has no form of its own: a ui_*.h it includes is its layer's.
  set_target_properties(${name} PROPERTIES AUTOUIC OFF)
  target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
  if("vorrel_ui" IN_LIST T_LIBS AND TARGET vorrel_resources)
    target_link_libraries(${name} PRIVATE vorrel_resources)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen;QT_FONT_DPI=96;QT_LOGGING_RULES=qt.qpa.*=false;LC_ALL=C.UTF-8")
  if(VORREL_ASAN)
    list(APPEND env "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
                    "ASAN_OPTIONS=fast_unwind_on_malloc=0"
                    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}")
endfunction()
