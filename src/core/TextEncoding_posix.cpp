// The native build has no ANSI code page of its own: it reads and writes
// Windows-1252, the one of the systems the program mostly meets.
#include "core/TextEncoding.h"

namespace corvinade {

const AnsiCodePage& SystemCodePage() {
    static const Windows1252 page;
    return page;
}

} // namespace corvinade
