#pragma once

// Hands the free pages of the heap back to the system. The C library keeps the memory a program
// frees for its later allocations, and gives back by itself only the free end of a heap, which
// any block allocated later holds in place: after a large structure goes, the process would keep
// its size for the rest of its life. Does nothing where the C library has no such call.
void ReturnFreeMemory();
