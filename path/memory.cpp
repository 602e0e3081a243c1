#include "path/memory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace velmora::platform {

void release_free_memory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace velmora::platform
