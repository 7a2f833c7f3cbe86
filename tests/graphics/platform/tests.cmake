# The Windows layer's tests open windows and OpenGL contexts: they need a
# display (tools/test starts Xvfb) and pump their own messages. They carry
# the product's embedded fonts, as a plug-in module does, and read the
# editor's pixels through NanoVG's framebuffer utilities.
if(TARGET plugkit_platform)
  plugkit_folder_tests(graphics/platform graphics_platform_tests plugkit_platform)
  target_include_directories(graphics_platform_tests PRIVATE ${NANOVG_INCLUDE_DIR})
  if(TARGET tessivo_resources)
    target_link_libraries(graphics_platform_tests PRIVATE tessivo_resources)
  endif()
endif()
