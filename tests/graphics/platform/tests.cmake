# The Windows layer's tests open windows and OpenGL contexts: they need a
# display (tools/test starts Xvfb) and pump their own messages.
file(GLOB _platform_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/graphics/platform/*.cpp)
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/graphics/drawing/ICanvasNanoVG.h)
  list(FILTER _platform_tests EXCLUDE REGEX "/editor_[^/]*\\.cpp$")
endif()
plugkit_test_program(graphics_platform_tests SOURCES ${_platform_tests} LIBS plugkit)
