# The drawing back-end's tests: path logic through a recording canvas, and the
# NanoVG back-end drawn with pixels in an off-screen OpenGL context (those
# need a display: tools/test runs an Xvfb).
if(TARGET plugkit_drawing)
  plugkit_folder_tests(graphics/drawing drawing_tests plugkit_drawing)
  # The mapping tests compare with NanoVG's own constants; vector-image tests
  # build parsed images by hand.
  target_include_directories(drawing_tests PRIVATE ${NANOVG_INCLUDE_DIR} ${NANOSVG_DIR})
  target_link_libraries(drawing_tests PRIVATE gdi32 user32)
  # Text and logo tests draw the fonts and the logo the plug-ins carry,
  # looked up among the program's own resources.
  if(TARGET tessivo_resources)
    target_link_libraries(drawing_tests PRIVATE tessivo_resources)
  endif()
endif()
