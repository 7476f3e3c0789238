// Stack room for the search, which recurses one frame group per ply down to MAX_PLY, quiescence
// included.
#pragma once
#include <cstddef>

// Stack that every thread running a search is given: the measured worst case is in stack.cpp.
extern const size_t SEARCH_STACK_BYTES;

// Threads started after this call get at least `bytes` of stack. Windows takes the reserve of
// every thread from the executable, set at link time; elsewhere the threads' default is raised.
void reserve_thread_stacks(size_t bytes);
// Size of the calling thread's stack, 0 when the system does not tell.
size_t this_thread_stack_size();
