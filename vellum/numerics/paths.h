// File names given by worksheet arguments, with the host's path conventions: backslash
// separators, drive-letter colons, network paths that begin with two backslashes.
#pragma once

#include <string>

#include <vellum/values/anyval.h>
#include <vellum/values/string.h>

// Replaces `path` with the name when it is absolute (it contains "\\" or ':' anywhere) or when
// the directory is not a string; otherwise with the directory's text, a backslash unless that
// text already ends in one, and the name. Forward slashes mark nothing.
VELLUM_API void build_fullpath(aString const* name, Anyval const* directory, std::string& path);
VELLUM_API void build_fullpath(aString const* name, aString* directory, std::string& path);
// A path without any period gets the extension appended (which brings its own period); a path
// with a period must contain the extension somewhere, case-sensitively, or the result is
// "file extension error" and the path is left alone.
VELLUM_API char const* check_extension(std::string& path, char const* extension);
