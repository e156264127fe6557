#pragma once
// How the programs ask the C library for memory, set once at start-up: a
// run allocates and frees buffers of a file's size for every file, and the
// window holds a big file several times over. Only glibc on Linux needs
// asking; elsewhere these do nothing.

namespace quorvel::startup {

// Keeps freed buffers for the next file rather than giving them back to the
// system and faulting them in again.
void KeepFreedMemoryForReuse();

// Big buffers come much faster in huge pages and kept for reuse, which only
// settings read at start-up can ask for (GLIBC_TUNABLES): when none are set,
// starts the program again, in place, with them. Returns when that is not
// needed or not possible.
void RestartWithLargeBufferHeap(char* argv[]);

}  // namespace quorvel::startup
