# The product's editor: its controls and layout, driven on a recording canvas
# with a real Tessivo object as the editor delegate. The strip's delay and the
# editor tick run from thread timers, so the tests pump messages with the test
# host's pump. The pixel tests draw the whole editor with the NanoVG back-end
# in an off-screen OpenGL context (tools/test runs an Xvfb), with the fonts
# and the logo from the product's embedded resources.
if(TARGET tessivo_vst2_product)
  plugkit_folder_tests(plugin/editor editor_tests tessivo_vst2_product vst2host_lib)
  target_include_directories(editor_tests PRIVATE ${STB_DIR})
  if(TARGET plugkit_drawing AND TARGET tessivo_resources)
    target_sources(editor_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/graphics/drawing/gl_surface.cpp)
    target_include_directories(editor_tests PRIVATE ${NANOVG_INCLUDE_DIR})
    target_link_libraries(editor_tests PRIVATE plugkit_drawing tessivo_resources gdi32 user32)
    target_compile_definitions(editor_tests PRIVATE TESSIVO_EDITOR_PIXELS=1)
  endif()
  # The editor in a real window, opened through the effect record as a host
  # opens it, in a parent window of the Windows layer's tests, with its
  # dialogs answered by the same tests' dialog closer.
  if(TARGET plugkit_platform)
    target_sources(editor_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/graphics/platform/message_window.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/graphics/platform/editor_harness.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/graphics/platform/dialog_closer.cpp)
    target_compile_definitions(editor_tests PRIVATE TESSIVO_EDITOR_WINDOW=1)
  endif()
endif()
