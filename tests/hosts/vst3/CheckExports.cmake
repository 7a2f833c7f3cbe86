# Checks that a VST 3 module exports GetPluginFactory, InitDll and ExitDll under
# their plain names and no decorated twin of them (such as GetPluginFactory@0).
#   cmake -DOBJDUMP=<mingw objdump> -DMODULE=<file.vst3> -P CheckExports.cmake
# Works for any VST 3 module of the project, the deliverable included.
if(NOT EXISTS "${MODULE}")
  message(FATAL_ERROR "no module at ${MODULE}")
endif()
execute_process(COMMAND ${OBJDUMP} -p "${MODULE}"
  OUTPUT_VARIABLE dump RESULT_VARIABLE status ERROR_VARIABLE problem)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed: ${problem}")
endif()
# Export names are listed as "[   n] Name" in the name pointer table.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n([^\n]+\n)*" table "${dump}")
if(NOT table)
  message(FATAL_ERROR "${MODULE} exports nothing")
endif()
foreach(name GetPluginFactory InitDll ExitDll)
  if(NOT table MATCHES "\\] ${name}\n")
    message(FATAL_ERROR "${MODULE} does not export ${name} undecorated:\n${table}")
  endif()
  if(table MATCHES "\\] _?${name}@")
    message(FATAL_ERROR "${MODULE} exports a decorated ${name}:\n${table}")
  endif()
endforeach()
message(STATUS "${MODULE}: GetPluginFactory, InitDll, ExitDll exported undecorated")
