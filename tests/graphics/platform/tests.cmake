# The Windows layer's tests open windows and OpenGL contexts: they need a
# display (tools/test starts Xvfb) and pump their own messages.
if(TARGET plugkit_platform)
  plugkit_folder_tests(graphics/platform graphics_platform_tests plugkit_platform)
endif()
