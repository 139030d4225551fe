// The library entry of every plug-in: one routine exported as VSTPluginMain
// and as main, and the load-time hook that keeps the module handle.
#include "host/audioeffect.h"
#include "platform/module.h"

#ifdef _WIN32
#include <windows.h>
#define JYX_EXPORT extern "C" __declspec(dllexport)
#else
#include <dlfcn.h>
#define JYX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

JYX_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  // A host that cannot tell its version is no host to run in.
  if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  // Memory running out while the effect is built gives no effect, as when its
  // own allocation fails; nothing may unwind into the host.
  try {
    AudioEffect* effect = createEffectInstance(audioMaster);
    return effect ? effect->getAeffect() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

#ifdef _WIN32
// The .def file exports the same routine a second time as main.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
  platform::setModuleHandle(instance);
  return TRUE;
}
#else
// A C++ function cannot be called main, so the second name is an assembler alias.
asm(".globl main\n\t.type main, @function\n\t.set main, VSTPluginMain");

namespace {
__attribute__((constructor)) void storeModuleHandle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&storeModuleHandle), &info) && info.dli_fname) {
    // NOLOAD only looks the loaded library up; the extra reference is returned at once.
    if (void* handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD)) {
      platform::setModuleHandle(handle);
      dlclose(handle);
    }
  }
}
}  // namespace
#endif
