#pragma once
// Files named by UTF-8 paths, read and written whole. Paths cross the
// framework as UTF-8 and are opened by their UTF-16 form, so any file name
// Windows allows works; a path that is not valid UTF-8 is refused rather than
// guessed at.
//
// User-interface thread (blocking file I/O); no state of its own.

#include <cstdint>
#include <cstdio>

#include "core/IStateBuffer.h"

namespace plugkit {

// Opens the file with a C runtime mode ("rb", "wb"). Null for a null or empty
// path, a path that is not valid UTF-8, or a file the runtime cannot open.
std::FILE* OpenUtf8File(const char* path, const char* mode);

// Writes n bytes with one write and closes the file (always, also on failure).
// False for a null file, a short write or a failed close.
bool WriteAndClose(std::FILE* file, const void* data, int32_t n);

// Replaces the file at path with n bytes, or creates it. The bytes go to a
// temporary file beside it (the path with ".tmp~" appended), which is flushed
// to disk, closed, and then moved over the target in one step, so the target
// holds either its old contents or all of the new ones, never a part. False
// for a null, empty or invalid path, n < 0, null data with n > 0, a temporary
// file that cannot be created, a short write, a failed flush or close, or a
// target that cannot be replaced (read-only, in use, a folder); the target is
// then untouched and a temporary file made by this call is removed.
bool ReplaceUtf8File(const char* path, const void* data, int32_t n);

// Reads the rest of the file into out (replacing its contents) and closes the
// file (always). False for a null file, a read error, a file longer than
// maxBytes or a failed growth of out; out is then left empty.
bool ReadAndClose(std::FILE* file, IStateBuffer& out, int32_t maxBytes);

} // namespace plugkit
