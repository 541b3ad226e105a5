#pragma once
// The process heap.

namespace zem {

// Gives the heap's free memory back to the system (as HeapCompact does),
// from the calling thread's arena too.
void ReturnFreeHeapToSystem();

}  // namespace zem
