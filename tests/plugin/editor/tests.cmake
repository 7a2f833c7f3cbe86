# The product's editor: its controls and layout, driven on a recording canvas
# with a real Tessivo object as the editor delegate. The strip's deferred
# actions run from thread timers, so the tests pump messages with the test
# host's pump.
if(TARGET tessivo_vst2_product)
  plugkit_folder_tests(plugin/editor editor_tests tessivo_vst2_product vst2host_lib)
endif()
