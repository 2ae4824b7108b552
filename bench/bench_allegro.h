// Allegro 4, the peer the blits are measured against, where it is installed. Its headers bring a magic main and
// short macro names: they are included through here only, and last.
#pragma once

#if !QUORVEL_HAVE_ALLEGRO4
namespace quorvel::bench {
inline bool StartAllegro() { return false; }
}  // namespace quorvel::bench
#else
#define ALLEGRO_NO_MAGIC_MAIN
#define ALLEGRO_NO_FIX_ALIASES
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace quorvel::bench {

// Allegro without a display, drawing 8-bit memory bitmaps; false, said on stderr, when it does not start.
inline bool StartAllegro() {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "Allegro did not start; its figures are left out\n");
        return false;
    }
    set_color_depth(8);
    return true;
}

}  // namespace quorvel::bench
#endif
