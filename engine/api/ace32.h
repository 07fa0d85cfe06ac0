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

/* ---- Tables ----------------------------------------------------------------
 *
 * A table is named by an ACE_HANDLE, given by ace_open_table or ace_create_table
 * and valid until ace_close_table or ace_exit. Records are numbered from 1;
 * fields are numbered from 1 in the table's order (Visual FoxPro's hidden system
 * fields are not counted). Every entry answers 0 or an error number of
 * ace32_errors.h; ace_get_last_error tells more about the last failure.
 *
 * Position: a table has a current record. Past the last record it is at end of
 * file: recno is the record count + 1 and fields read blank. When the engine's
 * deleted-record filter is on (ace_show_deleted(0)), ace_go_top, ace_go_bottom
 * and ace_skip pass over deleted records; ace_go_to goes to any record.
 *
 * Locks (shared tables): record n, the header (taken briefly by every append) and
 * the whole file, in the byte-range convention of the FoxPro family, so other
 * users of the engine and of that family exclude each other. A field of a shared
 * table may only be written while its record (or the file) is locked.
 */
typedef uint32_t ACE_HANDLE;

/* Table types, as the program's file types. */
#define ACE_TABLE_NTX 1 /* dBASE III tables with NTX indexes */
#define ACE_TABLE_CDX 2 /* FoxPro family tables with compound indexes */
#define ACE_TABLE_ADT 3 /* proprietary tables: not supported by this engine */

/* Open options (ace_open_table, ace_create_table). Shared and read-write unless
 * said otherwise. */
#define ACE_OPEN_EXCLUSIVE 0x0001u
#define ACE_OPEN_READONLY 0x0002u
/* Create options (ace_create_table). */
#define ACE_CREATE_VFP 0x0100u           /* Visual FoxPro table (0x30) instead of FoxPro 2 */
#define ACE_CREATE_STRUCTURAL_CDX 0x0200u /* mark the table as having a structural bag */

/* 400: opens a table. `alias` is accepted and ignored (the driver keeps aliases).
 * A name without extension gets ".dbf". An open refused because another user
 * has the table exclusively, or has it open while this one asks for it
 * exclusively, fails with ACE_ERR_OPEN and os code 32; denied access gives os 5. */
ACE_API ACE_RESULT ACE_ENTRY ace_open_table(const char* path, const char* alias, uint16_t table_type,
                                            uint32_t options, ACE_HANDLE* table);
/* 401: closes a table, releasing its locks. */
ACE_API ACE_RESULT ACE_ENTRY ace_close_table(ACE_HANDLE table);
/* 402: creates a table, replacing a file of that name, and opens it. `fields` is
 * a field list such as "NAME,C,20,0;AMOUNT,N,12,2;BORN,D;NOTE,M" (types C N F D L
 * M; I B T Y G need ACE_CREATE_VFP). Tables with memo fields get an FPT file,
 * or with ACE_TABLE_NTX a dBASE III table (0x83) with a DBT file. */
ACE_API ACE_RESULT ACE_ENTRY ace_create_table(const char* path, const char* alias, const char* fields,
                                              uint16_t table_type, uint32_t options, ACE_HANDLE* table);

/* 403: number of fields. */
ACE_API ACE_RESULT ACE_ENTRY ace_field_count(ACE_HANDLE table, uint16_t* count);
/* 404: a field's name (NUL-terminated, up to 11 bytes with the NUL), type letter,
 * length and decimals. Any output may be null. */
ACE_API ACE_RESULT ACE_ENTRY ace_field_info(ACE_HANDLE table, uint16_t field, char* name, uint32_t name_size,
                                            char* type, uint16_t* length, uint16_t* decimals);
/* 405: a field's number by name (case ignored); ACE_ERR_ARGUMENT when none. */
ACE_API ACE_RESULT ACE_ENTRY ace_field_number(ACE_HANDLE table, const char* name, uint16_t* field);

/* 406..409: navigation. ace_skip moves n records (negative: backwards); before the
 * first record it stays there with beginning of file set. */
ACE_API ACE_RESULT ACE_ENTRY ace_go_to(ACE_HANDLE table, uint32_t recno);
ACE_API ACE_RESULT ACE_ENTRY ace_go_top(ACE_HANDLE table);
ACE_API ACE_RESULT ACE_ENTRY ace_go_bottom(ACE_HANDLE table);
ACE_API ACE_RESULT ACE_ENTRY ace_skip(ACE_HANDLE table, int32_t count);
/* 410..413: position and size. ace_record_count counts deleted records too. */
ACE_API ACE_RESULT ACE_ENTRY ace_at_eof(ACE_HANDLE table, uint16_t* eof);
ACE_API ACE_RESULT ACE_ENTRY ace_at_bof(ACE_HANDLE table, uint16_t* bof);
ACE_API ACE_RESULT ACE_ENTRY ace_recno(ACE_HANDLE table, uint32_t* recno);
ACE_API ACE_RESULT ACE_ENTRY ace_record_count(ACE_HANDLE table, uint32_t* count);

/* 414: a field of the current record as text: C as stored (blank-padded), N and F
 * as stored, D as "YYYYMMDD", L as "T", "F" or " ", I B Y as decimal text, T as
 * "YYYYMMDDhhmmss", M the memo's text. `*length` holds the buffer's size on entry
 * and the text's length on return; the text is NUL-terminated when there is room.
 * A buffer too small gives ACE_ERR_BUFFER_SMALL with the length needed. */
ACE_API ACE_RESULT ACE_ENTRY ace_get_string(ACE_HANDLE table, uint16_t field, char* buffer, uint32_t* length);
/* 415: N F I B Y as a number; D and T as a Julian day (T with the time as fraction). */
ACE_API ACE_RESULT ACE_ENTRY ace_get_double(ACE_HANDLE table, uint16_t field, double* value);
/* 416: D and T as a Julian day number, 0 for a blank date. */
ACE_API ACE_RESULT ACE_ENTRY ace_get_julian(ACE_HANDLE table, uint16_t field, int32_t* julian);
/* 417: L as 1 or 0 (blank reads 0). */
ACE_API ACE_RESULT ACE_ENTRY ace_get_logical(ACE_HANDLE table, uint16_t field, uint16_t* value);
/* 418: 1 when the field is empty: blank text or date, zero, no memo, null. */
ACE_API ACE_RESULT ACE_ENTRY ace_is_empty(ACE_HANDLE table, uint16_t field, uint16_t* empty);

/* 419..423: write a field of the current record (locked, on a shared table).
 * A value the field's type cannot hold gives ACE_ERR_DATATYPE and changes nothing;
 * a number too wide for an N field gives ACE_ERR_DATAWIDTH. ace_set_string takes
 * text in the forms ace_get_string gives (C is cut or padded to its length). */
ACE_API ACE_RESULT ACE_ENTRY ace_set_string(ACE_HANDLE table, uint16_t field, const char* text, uint32_t length);
ACE_API ACE_RESULT ACE_ENTRY ace_set_double(ACE_HANDLE table, uint16_t field, double value);
ACE_API ACE_RESULT ACE_ENTRY ace_set_julian(ACE_HANDLE table, uint16_t field, int32_t julian);
ACE_API ACE_RESULT ACE_ENTRY ace_set_logical(ACE_HANDLE table, uint16_t field, uint16_t value);
ACE_API ACE_RESULT ACE_ENTRY ace_set_empty(ACE_HANDLE table, uint16_t field);

/* 424: appends a blank record under the header lock; it becomes current and
 * locked, and this table's other record locks are released. Another user holding
 * the header lock gives ACE_ERR_APPEND_LOCK (os 33). */
ACE_API ACE_RESULT ACE_ENTRY ace_append(ACE_HANDLE table);
/* 425: locks record `recno` (0: the current one), keeping this table's other
 * locks, and reads the record again. Held elsewhere: ACE_ERR_RECORD_LOCK. */
ACE_API ACE_RESULT ACE_ENTRY ace_lock_record(ACE_HANDLE table, uint32_t recno);
/* 426: releases the lock of record `recno` (0: the current one). */
ACE_API ACE_RESULT ACE_ENTRY ace_unlock_record(ACE_HANDLE table, uint32_t recno);
/* 427: releases every record lock and the file lock of this table. */
ACE_API ACE_RESULT ACE_ENTRY ace_unlock_all(ACE_HANDLE table);
/* 428: locks the whole table (this table's record locks are given up first). */
ACE_API ACE_RESULT ACE_ENTRY ace_lock_file(ACE_HANDLE table);
/* 429: 1 when this table holds the lock of record `recno` (0: current) or the file. */
ACE_API ACE_RESULT ACE_ENTRY ace_is_locked(ACE_HANDLE table, uint32_t recno, uint16_t* locked);

/* 430..432: the current record's deleted mark. */
ACE_API ACE_RESULT ACE_ENTRY ace_delete(ACE_HANDLE table);
ACE_API ACE_RESULT ACE_ENTRY ace_recall(ACE_HANDLE table);
ACE_API ACE_RESULT ACE_ENTRY ace_is_deleted(ACE_HANDLE table, uint16_t* deleted);

/* 433: writes the table and its memo file through to the disk. */
ACE_API ACE_RESULT ACE_ENTRY ace_flush(ACE_HANDLE table);

/* 434: the last failure of any entry: its number, os code (0 when none), the file
 * concerned and a text. `file` and `text` follow ace_get_string's buffer rules
 * (cut to fit, never ACE_ERR_BUFFER_SMALL); any output may be null. */
ACE_API ACE_RESULT ACE_ENTRY ace_get_last_error(uint32_t* number, int32_t* os_code, char* file,
                                                uint32_t* file_length, char* text, uint32_t* text_length);

/* ---- Index orders ----------------------------------------------------------
 *
 * A bag is a compound index file (".cdx") holding orders, each named by a tag of
 * 1 to 10 letters, digits or "_" (case ignored). A table whose header marks a
 * structural bag opens "<table name>.cdx" with it; that bag's orders are always
 * kept up to date and cannot be closed. Other bags are opened on a table by
 * ace_open_index or made by ace_create_index, and are kept up to date while open.
 *
 * Orders of a table are numbered from 1: the structural bag's tags first, then
 * those of other bags in the order they were opened. Order 0 is record-number
 * order. The controlling order moves ace_go_top, ace_go_bottom and ace_skip in
 * key order (passing over deleted records when they are hidden); a tag's FOR
 * condition leaves out the records that fail it. Entries that change orders
 * leave record-number order controlling unless they say otherwise.
 *
 * Keys, for seeks, are the bytes an index stores: character keys as the text
 * (a shorter text seeks the keys it begins), numbers and dates through
 * ace_seek_double (a date as its Julian day number).
 *
 * Writes to a table whose open tags the engine cannot evaluate (an unknown
 * function, a collation other than machine order) fail with
 * ACE_ERR_INDEX_UNMAINTAINABLE and change nothing; reading and walking the
 * orders still work.
 */

/* Options of ace_create_index and answers of ace_order_options. */
#define ACE_INDEX_UNIQUE 0x0001u     /* one record per key: the first one */
#define ACE_INDEX_DESCENDING 0x0002u /* walked from the highest key */

/* 300: builds an order over every record of the table: tag `tag` keyed on `key`,
 * with FOR `condition` (NULL or "" for none), in the structural bag (bag NULL or
 * "") or in the bag file `bag` (".cdx" added when it has no extension; made when
 * missing). A tag NULL or "" takes the bag's name (without folder, cut at the
 * first dot). A tag of that name in that bag is replaced. The table's other bags
 * are closed first; the new order then controls and the table stands on its
 * first record; *order (may be null) receives its number.
 * A missing structural bag is made and the table's header marked; other users
 * of the table keep it from their next write on. On a shared table the whole
 * table is locked while the tag is built (this table's record locks are given
 * up); another user holding a record lock gives ACE_ERR_FILE_LOCK and nothing is
 * built. A bad key: ACE_ERR_KEY_SYNTAX or ACE_ERR_KEY_TYPE, and no file is
 * touched. */
ACE_API ACE_RESULT ACE_ENTRY ace_create_index(ACE_HANDLE table, const char* bag, const char* tag,
                                              const char* key, const char* condition, uint32_t options,
                                              uint16_t* order);
/* 301: opens the bag file `bag` on the table (".cdx" added when it has no
 * extension); *count (may be null) receives the number of orders now open.
 * Opening a bag that is open already changes nothing. */
ACE_API ACE_RESULT ACE_ENTRY ace_open_index(ACE_HANDLE table, const char* bag, uint16_t* count);
/* 302: closes every bag but the structural one; record-number order controls. */
ACE_API ACE_RESULT ACE_ENTRY ace_close_indexes(ACE_HANDLE table);
/* 303: makes order `order` controlling (0: record-number order); the current
 * record stays. ACE_ERR_NO_ORDER when there is no such order. */
ACE_API ACE_RESULT ACE_ENTRY ace_set_order(ACE_HANDLE table, uint16_t order);
/* 304: the controlling order's number, 0 for record-number order. */
ACE_API ACE_RESULT ACE_ENTRY ace_get_order(ACE_HANDLE table, uint16_t* order);
/* 305: how many orders are open on the table. */
ACE_API ACE_RESULT ACE_ENTRY ace_order_count(ACE_HANDLE table, uint16_t* count);
/* 306-308: an order's tag name (upper case), key expression and FOR expression
 * ("" when none). `*length` holds the buffer's size on entry and the text's
 * length on return; a buffer too small gives ACE_ERR_BUFFER_SMALL with the size
 * needed (the NUL included). */
ACE_API ACE_RESULT ACE_ENTRY ace_order_name(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length);
ACE_API ACE_RESULT ACE_ENTRY ace_order_key(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length);
ACE_API ACE_RESULT ACE_ENTRY ace_order_condition(ACE_HANDLE table, uint16_t order, char* buffer,
                                                 uint32_t* length);
/* 309: ACE_INDEX_UNIQUE and ACE_INDEX_DESCENDING of an order. */
ACE_API ACE_RESULT ACE_ENTRY ace_order_options(ACE_HANDLE table, uint16_t order, uint32_t* options);
/* 310: seeks `key` (`length` bytes) in the controlling order. Found (an entry
 * whose key begins with these bytes): *found = 1 and that record is current.
 * Not found: *found = 0 and, with `soft`, the record of the next key is current
 * (end of file when none follows); without `soft`, end of file. `found` may be
 * null. ACE_ERR_NO_ORDER when record-number order controls. */
ACE_API ACE_RESULT ACE_ENTRY ace_seek(ACE_HANDLE table, const char* key, uint32_t length, uint16_t soft,
                                      uint16_t* found);
/* 311: as ace_seek, in an order keyed on a number, a date (`value` its Julian day)
 * or an integer field. */
ACE_API ACE_RESULT ACE_ENTRY ace_seek_double(ACE_HANDLE table, double value, uint16_t soft, uint16_t* found);
/* 312: checks every open order against the table: every page sound, every key
 * equal to its expression on its record, every record that satisfies the FOR
 * condition present once (for a unique tag, the first record of each key), no
 * entry for a record the table does not have. ACE_OK when all is well;
 * ACE_ERR_INDEX_VERIFY when problems were found: *problems (may be null) counts
 * them and `report` (may be null) receives one line per problem, LF-separated,
 * cut to fit as ace_get_last_error does ("<bag> tag NAME: record 12: ..." or
 * "...: page 0x1200: ..."). On a shared table appends wait meanwhile. */
ACE_API ACE_RESULT ACE_ENTRY ace_verify_indexes(ACE_HANDLE table, uint32_t* problems, char* report,
                                                uint32_t* report_length);
/* 313: rebuilds every open bag from its own tag definitions, each into a fresh
 * file that then takes the old one's place. Needs the table opened exclusively
 * (ACE_ERR_EXCLUSIVE_NEEDED); refused with nothing changed when a tag cannot be
 * evaluated (ACE_ERR_INDEX_UNMAINTAINABLE). Record-number order controls after. */
ACE_API ACE_RESULT ACE_ENTRY ace_reindex(ACE_HANDLE table);
/* 314: makes the order of tag `tag` controlling (NULL or "": record-number order). */
ACE_API ACE_RESULT ACE_ENTRY ace_set_order_by_name(ACE_HANDLE table, const char* tag);
/* 315: the number of the order of tag `tag`; ACE_ERR_NO_ORDER when none. */
ACE_API ACE_RESULT ACE_ENTRY ace_order_number(ACE_HANDLE table, const char* tag, uint16_t* order);
/* 316: the file of the bag holding an order, as ace_order_name gives texts. */
ACE_API ACE_RESULT ACE_ENTRY ace_order_bag(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length);

#ifdef __cplusplus
}
#endif

#endif
