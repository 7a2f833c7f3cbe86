#pragma once
// Module resources and paths: the plug-in's embedded files (its fonts and
// logo, stored as Win32 resources whose type is the file's extension in upper
// case and whose name is the file name), found by file name with a fallback to
// a file on disk, and the module handle they are looked up in.
//
// Module handles are passed as void* (an HMODULE) so that callers need not
// include <windows.h>. A null module means the process's executable, as in
// Windows itself; a plug-in passes the handle stored at attach. All functions
// may be called from any thread; none of them is meant for the audio thread.

#include <cstdint>

#include "core/IStringBuffer.h"

namespace plugkit {

// Where FindResourceOrFile found a name.
enum EResourceLocation : int32_t {
  kLocationNotFound = 0,
  kLocationFile = 1,     // location is the path as given
  kLocationResource = 2, // location is the resource's name in the module
};

// The plug-in module's handle, recorded by the DLL entry routine when the
// library is attached (and by the VST 3 module's start-up), read later for
// resources and the editor's window class. Null until stored.
void StoreModuleHandle(void* module);
void* StoredModuleHandle();

// Looks for name (a file name such as "Roboto-Regular.ttf", UTF-8) first among
// module's resources of type (an extension such as "ttf" or "SVG", any case),
// comparing names without regard to case, then as a file (or folder) on disk.
// On success location receives what LoadResourceBytes or the file functions
// need: the resource's name as stored in the module (in double quotes when the
// resource compiler kept them, at most 260 characters) or the path unchanged.
// Returns an EResourceLocation; when nothing is found, and for a null or empty
// name, the result is kLocationNotFound and location is left unchanged.
int32_t FindResourceOrFile(const char* name, const char* type, IStringBuffer& location, void* module);

// The bytes of the resource named location (as FindResourceOrFile gives it)
// of type (any case) in module. The bytes belong to the module and stay valid
// while it is loaded. Resources of 7 bytes or fewer are not taken (no file
// format we embed is that short). Null when the resource is missing or too
// short (size unchanged) or cannot be locked (size set to 0); otherwise size
// receives the byte count.
const unsigned char* LoadResourceBytes(const char* location, const char* type, int32_t& size, void* module);

} // namespace plugkit
