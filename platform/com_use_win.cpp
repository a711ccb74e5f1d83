#include "platform/com_use.h"

#include <objbase.h>

namespace platform {

namespace {

// Per thread: an apartment belongs to the thread that entered it.
thread_local bool tried = false;
thread_local bool entered = false;

}  // namespace

void UseCom() {
  if (tried) return;
  tried = true;
  entered = SUCCEEDED(CoInitialize(nullptr));
}

void ReleaseCom() {
  if (entered) CoUninitialize();
  tried = false;
  entered = false;
}

}  // namespace platform
