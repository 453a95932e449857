#include "platform/memory.h"

#include <malloc.h>

namespace Platform {
void trimWorkingSet()
{
    malloc_trim(0);
}
} // namespace Platform
