#ifndef VELMORA_PATH_MEMORY_H
#define VELMORA_PATH_MEMORY_H

namespace velmora::platform {

// Gives the pages of freed blocks back to the system. A game file's document
// is many small blocks; the allocator keeps their pages once they are freed,
// and the next, larger file would add its own on top.
void release_free_memory();

} // namespace velmora::platform

#endif
