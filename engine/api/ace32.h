/* The client engine's C interface, exported by "ACE32.dll" by number.
 *
 * Conventions of every entry:
 *   - __stdcall on Windows (ACE_ENTRY), plain C linkage everywhere;
 *   - the result is an ACE_RESULT: 0 for success, else an error number (ace32_errors.h);
 *   - texts are NUL-terminated single-byte strings unless a length is given;
 *   - output buffers come with their size in and the length written out.
 *
 * The numbers below are the entries' ordinals; ace32.def lists the same numbers.
 * The start-up entries (3, 135, 140, 156, 201) are called by the program's "ADS"
 * driver and keep their numbers for good.
 */
#ifndef ACE32_H
#define ACE32_H

#include <stdint.h>

#ifdef _WIN32
#  define ACE_ENTRY __stdcall
#  ifdef ACE32_BUILDING
#    define ACE_API __declspec(dllexport)
#  else
#    define ACE_API __declspec(dllimport)
#  endif
#else
#  define ACE_ENTRY
#  define ACE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t ACE_RESULT;

/* 3: the program ends; every table the engine holds is closed. */
ACE_API ACE_RESULT ACE_ENTRY ace_exit(void);

/* 135: date format for text dates, such as "dd-mm-yy". */
ACE_API ACE_RESULT ACE_ENTRY ace_set_date_format(const char* format);

/* 140: epoch for two-digit years (1950: 50..99 are 1950..1999, 00..49 are 2000..2049). */
ACE_API ACE_RESULT ACE_ENTRY ace_set_epoch(uint16_t epoch);

/* 156: 1 shows deleted records, 0 hides them (the deleted-record filter on). */
ACE_API ACE_RESULT ACE_ENTRY ace_show_deleted(uint16_t show);

/* 201: server type, kept and reported; 1 = local server (the only kind there is). */
ACE_API ACE_RESULT ACE_ENTRY ace_set_server_type(uint16_t type);

#ifdef __cplusplus
}
#endif

#endif
