# Which NanoVG and which stb headers the build compiles, said once.
#
# NanoVG's sources (NANOVG_DIR) come with older copies of stb_image and
# stb_truetype beside them, and nanovg.c and fontstash.h name them in quotes,
# which finds a header in the includer's own folder before any include path.
# So NanoVG's files are laid into the build tree without those copies
# (NANOVG_INCLUDE_DIR, the only NanoVG folder any target includes), and every
# stb header comes from the stb package (STB_DIR):
# - the font stash's stb_truetype through the include path;
# - images are not decoded by NanoVG at all (graphics/drawing/NanoVGBuild.c
#   builds it with NVG_NO_STB): the back-end decodes them with the package's
#   stb_image (graphics/drawing/StbImageBuild.c) and hands NanoVG RGBA pixels.
# The package's headers must be at least the versions this code was checked
# against, whose decoders refuse what the old copies read out of bounds.

set(PLUGKIT_STB_IMAGE_VERSION 2.27)
set(PLUGKIT_STB_TRUETYPE_VERSION 1.26)

# The version a stb header states on its first line ("... - v2.27 - ...").
function(plugkit_stb_header_version header out)
  if(NOT EXISTS "${header}")
    message(FATAL_ERROR "${header} not found: install the stb package (tools/setup)")
  endif()
  file(STRINGS "${header}" first LIMIT_COUNT 1)
  if(NOT first MATCHES " v([0-9]+\\.[0-9]+) ")
    message(FATAL_ERROR "${header}: no version on its first line")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

foreach(part image truetype)
  string(TOUPPER ${part} PART)
  plugkit_stb_header_version("${STB_DIR}/stb_${part}.h" found)
  if(found VERSION_LESS PLUGKIT_STB_${PART}_VERSION)
    message(FATAL_ERROR "${STB_DIR}/stb_${part}.h is version ${found}; "
                        "at least ${PLUGKIT_STB_${PART}_VERSION} is needed")
  endif()
endforeach()

set(NANOVG_INCLUDE_DIR "${CMAKE_BINARY_DIR}/deps/nanovg")
file(MAKE_DIRECTORY "${NANOVG_INCLUDE_DIR}")
foreach(source nanovg.c nanovg.h fontstash.h nanovg_gl.h nanovg_gl_utils.h)
  configure_file("${NANOVG_DIR}/${source}" "${NANOVG_INCLUDE_DIR}/${source}" COPYONLY)
endforeach()
file(GLOB _plugkit_stray_stb "${NANOVG_INCLUDE_DIR}/stb_*.h")
if(_plugkit_stray_stb)
  message(FATAL_ERROR "stb headers beside NanoVG's sources would be compiled instead of the package's: "
                      "${_plugkit_stray_stb}")
endif()
