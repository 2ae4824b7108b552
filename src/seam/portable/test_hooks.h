// What tests, benchmarks and measuring tools see and steer of the portable GDI: release counts, live objects,
// copied pixels, failures. Only the backend built for them (quorvel_seam_portable_testing) has these.
#pragma once

#include <cstdint>

#include "seam/gdi.h"
#include "seam/portable/portable_gdi.h"

namespace plat::memory {

// How many times DeleteDC or DeleteObject was asked to release this handle, whether or not it was live.
int DeleteCount(GdiObject handle);
// DCs and bitmaps created by CreateCompatibleDC and CreateDIBSection and not yet released.
int LiveObjects();
// Every record the backend holds: those, the window DCs, nothing that was released.
int HeldObjects();
// How many pixels BitBlt has copied into this DC: what presenting cost, counted without a screen.
int64_t BlittedPixels(Dc dc);

enum class Call { CreateCompatibleDC, CreateDIBSection };
// The next call of this kind fails, as it would when the system runs out of GDI resources.
void FailNext(Call call);

}  // namespace plat::memory
