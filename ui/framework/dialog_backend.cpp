#include "ui/framework/dialog_backend.h"

#include <cstdio>
#include <cstdlib>

namespace {
DialogBackend* g_activeBackend = nullptr;
}

ScopedDialogBackend::ScopedDialogBackend(DialogBackend& backend) : previous_(g_activeBackend) {
  g_activeBackend = &backend;
}

ScopedDialogBackend::~ScopedDialogBackend() { g_activeBackend = previous_; }

DialogBackend& ActiveDialogBackend() {
  if (g_activeBackend == nullptr) {
    std::fputs("internal error: no dialog backend selected\n", stderr);
    std::abort();
  }
  return *g_activeBackend;
}
