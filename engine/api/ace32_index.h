/* The client engine's C interface for index orders (entries 300-349).
 *
 * A table's orders are numbered from 1: first the tags of its structural bag
 * (opened with the table), then those of other bags opened on it. Order 0 is
 * record-number order. The controlling order moves ace_go_top, ace_go_bottom and
 * ace_skip in key order. Keys for seeks are the bytes an index stores (text as
 * is; numbers and dates through ace_seek_double).
 *
 * Options of ace_create_index: ACE_INDEX_UNIQUE keeps one record per key (the
 * first); ACE_INDEX_DESCENDING walks from the highest key.
 */
#ifndef ACE32_INDEX_H
#define ACE32_INDEX_H

#include "ace32.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ACE_INDEX_UNIQUE 1u
#define ACE_INDEX_DESCENDING 2u

/* 300: builds tag `tag` keyed on `key` (FOR `condition`, NULL or "" for none) in
 * the structural bag (bag NULL or "") or in the bag file named; closes the other
 * bags' orders, makes the new order controlling and goes to its first record.
 * *order receives its number. */
ACE_API ACE_RESULT ACE_ENTRY ace_create_index(ACE_HANDLE table, const char* bag, const char* tag,
                                              const char* key, const char* condition, uint32_t options,
                                              uint16_t* order);
/* 301: opens a bag on the table; *count receives the number of orders now open. */
ACE_API ACE_RESULT ACE_ENTRY ace_open_index(ACE_HANDLE table, const char* bag, uint16_t* count);
/* 302: closes every bag but the structural one; record-number order controls. */
ACE_API ACE_RESULT ACE_ENTRY ace_close_indexes(ACE_HANDLE table);
/* 303, 304: the controlling order (0: record-number order). */
ACE_API ACE_RESULT ACE_ENTRY ace_set_order(ACE_HANDLE table, uint16_t order);
ACE_API ACE_RESULT ACE_ENTRY ace_get_order(ACE_HANDLE table, uint16_t* order);
/* 305: how many orders are open. */
ACE_API ACE_RESULT ACE_ENTRY ace_order_count(ACE_HANDLE table, uint16_t* count);
/* 306-308: an order's tag name, key expression and FOR expression; *length is the
 * buffer's size in and the text's length out (ACE_ERR_BUFFER_SMALL: size needed). */
ACE_API ACE_RESULT ACE_ENTRY ace_order_name(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length);
ACE_API ACE_RESULT ACE_ENTRY ace_order_key(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length);
ACE_API ACE_RESULT ACE_ENTRY ace_order_condition(ACE_HANDLE table, uint16_t order, char* buffer,
                                                 uint32_t* length);
/* 309: ACE_INDEX_UNIQUE / ACE_INDEX_DESCENDING of an order. */
ACE_API ACE_RESULT ACE_ENTRY ace_order_options(ACE_HANDLE table, uint16_t order, uint32_t* options);
/* 310: seeks `key` (length bytes; a prefix of the key is enough) in the controlling
 * order. Found: that record becomes current. Not found: with soft, the record of
 * the next key (end of file when none); without, end of file. */
ACE_API ACE_RESULT ACE_ENTRY ace_seek(ACE_HANDLE table, const char* key, uint32_t length, uint16_t soft,
                                      uint16_t* found);
/* 311: as ace_seek, for an order keyed on a number or a date (as its Julian day). */
ACE_API ACE_RESULT ACE_ENTRY ace_seek_double(ACE_HANDLE table, double value, uint16_t soft, uint16_t* found);
/* 312: checks every open bag page by page, and every record's key in every order. */
ACE_API ACE_RESULT ACE_ENTRY ace_verify_indexes(ACE_HANDLE table);
/* 313: rebuilds every order from the records. */
ACE_API ACE_RESULT ACE_ENTRY ace_reindex(ACE_HANDLE table);

#ifdef __cplusplus
}
#endif

#endif
