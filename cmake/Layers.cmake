# Each subsystem is a static library of its own that links only what lies
# below it. Includes are written from the source root, so the compiler would
# accept a header of any library; the layering test reads the record written
# here (every library's files on every platform, and the libraries it links)
# and fails on an include that the link graph does not allow.
#
#   gloamery_library(NAME
#     SOURCES  files of every platform ...
#     UNIX     files of the X11/POSIX build ...
#     WINDOWS  files of the Windows build ...
#     DEPENDS  product libraries below it (names without the gloamery_ prefix) ...)
#
# Paths are relative to the calling folder. NAME becomes gloamery_NAME.
function(gloamery_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "INTERFACE" "" "SOURCES;UNIX;WINDOWS;DEPENDS")
  set(target gloamery_${name})
  if(WIN32)
    set(built ${arg_SOURCES} ${arg_WINDOWS})
  else()
    set(built ${arg_SOURCES} ${arg_UNIX})
  endif()
  if(arg_INTERFACE)
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  else()
    add_library(${target} STATIC ${built})
    set(scope PUBLIC)
  endif()
  target_include_directories(${target} ${scope} ${PROJECT_SOURCE_DIR})
  foreach(dependency IN LISTS arg_DEPENDS)
    target_link_libraries(${target} ${scope} gloamery_${dependency})
  endforeach()

  gloamery_record_layer(${name} FILES ${arg_SOURCES} UNIX ${arg_UNIX} WINDOWS ${arg_WINDOWS} DEPENDS ${arg_DEPENDS})
endfunction()

# Enters files into the record under NAME: a library's, or files built
# elsewhere (an executable's own main), so that their includes are held to
# DEPENDS as well. Platform files are marked with their platform.
function(gloamery_record_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "FILES;UNIX;WINDOWS;DEPENDS")
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(files)
  foreach(kind IN ITEMS FILES UNIX WINDOWS)
    foreach(file IN LISTS arg_${kind})
      if(IS_ABSOLUTE ${file})
        file(RELATIVE_PATH file ${PROJECT_SOURCE_DIR} ${file})
      elseif(folder)
        set(file ${folder}/${file})
      endif()
      if(kind STREQUAL "FILES")
        list(APPEND files ${file})
      else()
        string(TOLOWER ${kind} platform)
        list(APPEND files ${platform}:${file})
      endif()
    endforeach()
  endforeach()
  list(JOIN files " " files)
  list(JOIN arg_DEPENDS " " depends)
  set_property(GLOBAL APPEND PROPERTY GLOAMERY_LAYER_RECORD "${name}: ${depends} | ${files}")
endfunction()

# One line a library: "NAME: DEPENDS... | FILES...", where a platform's own
# files read "unix:PATH" or "windows:PATH".
function(gloamery_write_layer_record path)
  get_property(record GLOBAL PROPERTY GLOAMERY_LAYER_RECORD)
  list(JOIN record "\n" text)
  file(WRITE ${path} "${text}\n")
endfunction()
