#pragma once

namespace zonara {

// How this process hands memory back to the system: a hostile or merely large page can make a
// read hold hundreds of megabytes for a moment, which must not stay resident after it.

// Called once at the start of main(), before any other thread runs.
void applyProcessMemoryPolicy();

// Called on the reading thread after a page has been read and its working copies freed.
void giveBackFreedMemory();

} // namespace zonara
