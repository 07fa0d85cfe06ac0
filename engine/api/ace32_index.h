/* The index entries (300-349) are declared in ace32.h with the rest of the
 * interface; this header stays for code that includes it by this name. */
#ifndef ACE32_INDEX_H
#define ACE32_INDEX_H

#include "ace32.h"

#endif
