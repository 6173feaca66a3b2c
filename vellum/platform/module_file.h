// The full file name of a loaded module, with the contract of the Windows function: the number
// of characters written (the name ends with a zero), 0 on failure, and `size` when the name had
// to be cut to size - 1 characters. A null module is the program itself. On other systems a
// module is a handle from dlopen.
#pragma once

#include <cstdint>

namespace vellum::platform {

std::uint32_t module_file_name(void* module, char* buffer, std::uint32_t size);

}  // namespace vellum::platform
