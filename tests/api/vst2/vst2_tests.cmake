# The audio-path tests count allocations with the product tests' counter.
if(TARGET vst2_tests)
  target_sources(vst2_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/plugin/allocation_counter.cpp)
endif()

# vst2_tests also drives the real Tessivo.dll and the vst2host program. Both
# paths are passed relative to the test program, which finds them from its
# own folder whatever drive Wine maps the build to.
if(TARGET vst2_tests AND TARGET tessivo_vst2 AND TARGET vst2host)
  get_target_property(_vst2_tests_dir vst2_tests BINARY_DIR)
  get_target_property(_vst2host_dir vst2host BINARY_DIR)
  file(RELATIVE_PATH _tessivo_dll "${_vst2_tests_dir}" "${TESSIVO_OUTPUT_DIR}/Tessivo.dll")
  file(RELATIVE_PATH _vst2host_exe "${_vst2_tests_dir}" "${_vst2host_dir}/vst2host.exe")
  target_link_libraries(vst2_tests PRIVATE vst2host_lib)
  target_compile_definitions(vst2_tests PRIVATE
    TESSIVO_VST2_DLL="${_tessivo_dll}" VST2HOST_PROGRAM_PATH="${_vst2host_exe}")
  add_dependencies(vst2_tests tessivo_vst2 vst2host)
  # The host that unloads it on a worker (tests/hosts/unload).
  if(TARGET unloadhost)
    plugkit_use_unloadhost(vst2_tests)
  endif()
endif()
