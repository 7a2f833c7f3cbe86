# The VST 3 side shared by the plug-in and the test host, in three targets:
#   vst3sdk    the SDK sources this project links, compiled from their installed
#              location with warnings off (the SDK is not ours), plus the
#              interface ids those sources use but leave undefined
#   vst3kit    the project's SDK-side layers: the single-component effect and
#              the class factory
#   vst3entry  the DLL entry (GetPluginFactory, InitDll, ExitDll) and the
#              module-definition file that exports those names undecorated;
#              objects linked straight into each VST 3 module, since nothing in
#              the module refers to the exports and an archive would drop them
# Included by api/vst3/CMakeLists.txt and by stand-alone test projects.

get_filename_component(_vst3kit_root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
if(NOT VST3_SDK_DIR)
  set(VST3_SDK_DIR "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK")
endif()

# Only what a module links: the base interfaces and ids, FObject with the
# string, lock and update-handler code it pulls in, and the parameter, bus,
# edit-controller and plug-in view classes.
add_library(vst3sdk STATIC
  ${VST3_SDK_DIR}/pluginterfaces/base/funknown.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/coreiids.cpp
  ${VST3_SDK_DIR}/pluginterfaces/base/ustring.cpp
  ${VST3_SDK_DIR}/base/source/baseiids.cpp
  ${VST3_SDK_DIR}/base/source/fobject.cpp
  ${VST3_SDK_DIR}/base/source/fstring.cpp
  ${VST3_SDK_DIR}/base/source/updatehandler.cpp
  ${VST3_SDK_DIR}/base/thread/source/flock.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstinitiids.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstparameters.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstbus.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vstcomponentbase.cpp
  ${VST3_SDK_DIR}/public.sdk/source/vst/vsteditcontroller.cpp
  ${VST3_SDK_DIR}/public.sdk/source/common/pluginview.cpp
  # Ours: the ids these sources use but do not define; kept in this archive so
  # that the SDK objects that refer to them find them.
  ${CMAKE_CURRENT_LIST_DIR}/VST3InterfaceIds.cpp)
target_include_directories(vst3sdk SYSTEM PUBLIC ${VST3_SDK_DIR})
# The SDK's debug header refuses to compile without one of its build macros.
target_compile_definitions(vst3sdk PUBLIC RELEASE=1)
target_compile_options(vst3sdk PRIVATE -w)
target_link_libraries(vst3sdk PUBLIC ole32)

add_library(vst3kit STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SingleComponentEffect.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PluginFactory.cpp)
target_include_directories(vst3kit PUBLIC ${_vst3kit_root})
target_compile_options(vst3kit PRIVATE -Wall -Wextra)
target_link_libraries(vst3kit PUBLIC vst3sdk)

add_library(vst3entry OBJECT ${CMAKE_CURRENT_LIST_DIR}/PluginEntry.cpp)
target_compile_options(vst3entry PRIVATE -Wall -Wextra)
target_link_libraries(vst3entry PUBLIC vst3kit)
# Hosts look the entries up by their plain names. GetPluginFactory uses the
# host calling convention, which 32-bit linkers decorate (GetPluginFactory@0):
# the definition file names the exports, --kill-at drops the decorated twin and
# the stdcall fix-up maps the plain name onto the decorated symbol quietly.
target_link_options(vst3entry INTERFACE
  ${CMAKE_CURRENT_LIST_DIR}/Tessivo.def -Wl,--kill-at -Wl,--enable-stdcall-fixup)
