# The GL loader is generated at configure time from the Khronos registry that
# ships inside Debian's python3-glad; it is never committed. --reproducible keeps
# glad from reaching for the network.
find_program(GLAD_EXECUTABLE glad REQUIRED)
set(GLAD_OUT ${CMAKE_BINARY_DIR}/glad)
set(GLAD_API gl:compatibility=3.0)
set(GLAD_EXTENSIONS GL_EXT_texture_filter_anisotropic,GL_ARB_robustness,GL_KHR_robustness,GL_ARB_timer_query,GL_EXT_timer_query)
set(GLAD_SOURCES ${GLAD_OUT}/src/gl.c)
if(WIN32)
  # The preview window makes its own WGL context: pixel formats with
  # multisampling, context attributes and the swap interval are WGL extensions.
  string(APPEND GLAD_API ",wgl=1.0")
  string(APPEND GLAD_EXTENSIONS ",WGL_ARB_extensions_string,WGL_EXT_extensions_string,WGL_ARB_pixel_format"
         ",WGL_ARB_multisample,WGL_ARB_create_context,WGL_ARB_create_context_robustness,WGL_EXT_swap_control")
  list(APPEND GLAD_SOURCES ${GLAD_OUT}/src/wgl.c)
endif()
set(GLAD_ARGS --quiet --reproducible --api ${GLAD_API}
    --extensions ${GLAD_EXTENSIONS} --out-path ${GLAD_OUT} c)
if(NOT EXISTS ${GLAD_OUT}/src/gl.c OR NOT "${GLAD_ARGS}" STREQUAL "${GLAD_LAST_ARGS}")
  execute_process(COMMAND ${GLAD_EXECUTABLE} ${GLAD_ARGS} RESULT_VARIABLE glad_rc)
  if(NOT glad_rc EQUAL 0)
    message(FATAL_ERROR "glad failed to generate the GL loader")
  endif()
  set(GLAD_LAST_ARGS "${GLAD_ARGS}" CACHE INTERNAL "")
endif()
add_library(glad STATIC ${GLAD_SOURCES})
target_include_directories(glad SYSTEM PUBLIC ${GLAD_OUT}/include)
target_compile_options(glad PRIVATE -w)
set_target_properties(glad PROPERTIES POSITION_INDEPENDENT_CODE ON)
