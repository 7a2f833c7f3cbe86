# Audio-path tests count allocations with the product tests' counter. The
# editor-window test reads the editor's pixels through NanoVG's framebuffer
# calls and needs the product's fonts and logo embedded in the program.
if(TARGET vst3_tests)
  target_sources(vst3_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/plugin/allocation_counter.cpp)
  if(TARGET plugkit_platform)
    target_include_directories(vst3_tests PRIVATE ${NANOVG_INCLUDE_DIR})
    # The editor's file dialogs are answered by the Windows layer's tests'
    # closer, and its pictures read as those tests read them.
    target_sources(vst3_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/graphics/platform/dialog_closer.cpp
      ${CMAKE_SOURCE_DIR}/tests/graphics/platform/message_window.cpp
      ${CMAKE_SOURCE_DIR}/tests/graphics/platform/editor_harness.cpp)
  endif()
  if(TARGET tessivo_resources)
    target_link_libraries(vst3_tests PRIVATE tessivo_resources)
  endif()
endif()

# vst3_tests also drives the x86_64 build of the VST 3 module through the test
# host (only 64-bit Wine runs here). The module's path is passed relative to
# the test program, which finds it from its own folder.
if(TARGET vst3_tests AND TARGET tessivo_vst3 AND TARGET vst3host_lib AND TARGET vst2host_lib)
  get_target_property(_vst3_tests_dir vst3_tests BINARY_DIR)
  get_target_property(_tessivo_vst3_dir tessivo_vst3 LIBRARY_OUTPUT_DIRECTORY)
  get_target_property(_tessivo_vst3_name tessivo_vst3 OUTPUT_NAME)
  file(RELATIVE_PATH _tessivo_vst3 "${_vst3_tests_dir}" "${_tessivo_vst3_dir}/${_tessivo_vst3_name}.vst3")
  target_link_libraries(vst3_tests PRIVATE vst3host_lib vst2host_lib)
  target_compile_definitions(vst3_tests PRIVATE TESSIVO_VST3_TEST_MODULE="${_tessivo_vst3}")
  add_dependencies(vst3_tests tessivo_vst3)
  # The host that unloads the module on a worker (tests/hosts/unload).
  if(TARGET unloadhost)
    plugkit_use_unloadhost(vst3_tests)
  endif()

  # Hosts find the entries by their plain names: the test module here, and
  # the 32-bit deliverable that tools/build puts into the output folder.
  add_test(NAME vst3_exports_tessivo_x86_64
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=x86_64-w64-mingw32-objdump
            -DMODULE=$<TARGET_FILE:tessivo_vst3> -P ${CMAKE_SOURCE_DIR}/tests/hosts/vst3/CheckExports.cmake)
  add_test(NAME vst3_exports_tessivo_i686
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=i686-w64-mingw32-objdump
            -DMODULE=${TESSIVO_OUTPUT_DIR}/Tessivo.vst3 -P ${CMAKE_SOURCE_DIR}/tests/hosts/vst3/CheckExports.cmake)
endif()
