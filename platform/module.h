// The plug-in library's own module handle, stored when the library is loaded;
// the user-interface layer names its window class and finds its resources by it.
#pragma once

namespace platform {

void setModuleHandle(void* handle);
void* moduleHandle();

}  // namespace platform
