/* Error numbers of the client engine's C interface.
 *
 * Every entry answers 0 or one of these. After a failure, ace_get_last_error
 * (ace32.h) gives the number again with the operating-system code (Windows
 * numbering: 2 not found, 5 access denied, 32 sharing violation, 33 lock
 * violation, 80 file exists, 112 disk full), the file concerned and a text.
 *
 * How the program's "ADS" driver is meant to map them to error objects:
 *
 * | Number | Name                     | Meaning                                     | Generic code      |
 * |--------|--------------------------|---------------------------------------------|-------------------|
 * | 5001   | ACE_ERR_ARGUMENT         | bad argument: null pointer, unknown type,   | 1 Argument error  |
 * |        |                          | field number or record number out of range, |                   |
 * |        |                          | unparsable field list                        |                   |
 * | 5002   | ACE_ERR_HANDLE           | the handle names no open table              | 35 Workarea not.. |
 * | 5003   | ACE_ERR_OPEN             | the table or its memo could not be opened;  | 21 Open error     |
 * |        |                          | os 32 sharing violation, 5 access denied,   | (quiet with 32/5) |
 * |        |                          | 2 not found                                 |                   |
 * | 5004   | ACE_ERR_CREATE           | a new table could not be created            | 20 Create error   |
 * | 5005   | ACE_ERR_READ             | a read failed (os code as given)            | 23 Read error     |
 * | 5006   | ACE_ERR_WRITE            | a write failed (112: disk full)             | 24 Write error    |
 * | 5007   | ACE_ERR_CORRUPT          | the file named is damaged: header, field    | 32 Corruption     |
 * |        |                          | list, record count or memo block            |                   |
 * | 5008   | ACE_ERR_DATATYPE         | value unfit for the field's type            | 33 Data type error|
 * | 5009   | ACE_ERR_DATAWIDTH        | number too wide for its field               | 34 Data width     |
 * | 5010   | ACE_ERR_APPEND_LOCK      | the header lock for an append is held by    | 40 Append lock    |
 * |        |                          | another user                                 | (quiet)           |
 * | 5011   | ACE_ERR_RECORD_LOCK      | the record lock is held by another user     | 41 Lock error     |
 * | 5012   | ACE_ERR_FILE_LOCK        | the file lock is refused (another user      | 41 Lock error     |
 * |        |                          | holds a record or the file)                  |                   |
 * | 5013   | ACE_ERR_READONLY         | write to a table opened read-only           | 39 Read only      |
 * | 5014   | ACE_ERR_UNLOCKED         | write to a shared table's record without    | 38 Unlocked       |
 * |        |                          | its lock or the file lock                    |                   |
 * | 5015   | ACE_ERR_UNSUPPORTED      | table version or field type not supported   | 30 Unsupported    |
 * | 5016   | ACE_ERR_INDEX_UNMAINTAINABLE | an open tag cannot be kept up to date   | 30 Unsupported    |
 * |        |                          | (unknown function, foreign collation):       |                   |
 * |        |                          | the write is refused and nothing changed     |                   |
 * | 5017   | ACE_ERR_BUFFER_SMALL     | an output buffer is too small; the length   | 1 Argument error  |
 * |        |                          | needed is given back                         |                   |
 * | 5018   | ACE_ERR_NO_RECORD        | no current record (end or beginning of file)| 35 / program's    |
 * | 5019   | ACE_ERR_INDEX            | an index file could not be read or written  | 32 Corruption     |
 *
 * Index orders (entries 300-349):
 *
 * | Number | Name                     | Meaning                                     | Generic code      |
 * |--------|--------------------------|---------------------------------------------|-------------------|
 * | 5101   | ACE_ERR_NO_ORDER         | no order of that number or tag name; a seek | 1 Argument error  |
 * |        |                          | without a controlling order                 |                   |
 * | 5102   | ACE_ERR_KEY_SYNTAX       | a key or FOR expression does not compile    | "Syntax error"    |
 * |        |                          | (bad text, unknown field or function)       |                   |
 * | 5103   | ACE_ERR_KEY_TYPE         | a key of no fixed length or of a type an    | 33 Data type error|
 * |        |                          | index cannot hold; a FOR that is not logical|                   |
 * | 5104   | ACE_ERR_TAG_NAME         | a tag name that is empty, longer than 10,   | 1 Argument error  |
 * |        |                          | or not letters, digits and "_"              |                   |
 * | 5105   | ACE_ERR_INDEX_VERIFY     | verification found problems (the report and | 32 Corruption     |
 * |        |                          | ace_get_last_error name them)               |                   |
 * | 5106   | ACE_ERR_EXCLUSIVE_NEEDED | reindexing needs the table opened           | 41 Lock error     |
 * |        |                          | exclusively                                 |                   |
 */
#ifndef ACE32_ERRORS_H
#define ACE32_ERRORS_H

#define ACE_OK 0u
#define ACE_ERR_ARGUMENT 5001u
#define ACE_ERR_HANDLE 5002u
#define ACE_ERR_OPEN 5003u
#define ACE_ERR_CREATE 5004u
#define ACE_ERR_READ 5005u
#define ACE_ERR_WRITE 5006u
#define ACE_ERR_CORRUPT 5007u
#define ACE_ERR_DATATYPE 5008u
#define ACE_ERR_DATAWIDTH 5009u
#define ACE_ERR_APPEND_LOCK 5010u
#define ACE_ERR_RECORD_LOCK 5011u
#define ACE_ERR_FILE_LOCK 5012u
#define ACE_ERR_READONLY 5013u
#define ACE_ERR_UNLOCKED 5014u
#define ACE_ERR_UNSUPPORTED 5015u
#define ACE_ERR_INDEX_UNMAINTAINABLE 5016u
#define ACE_ERR_BUFFER_SMALL 5017u
#define ACE_ERR_NO_RECORD 5018u
#define ACE_ERR_INDEX 5019u

#define ACE_ERR_NO_ORDER 5101u
#define ACE_ERR_KEY_SYNTAX 5102u
#define ACE_ERR_KEY_TYPE 5103u
#define ACE_ERR_TAG_NAME 5104u
#define ACE_ERR_INDEX_VERIFY 5105u
#define ACE_ERR_EXCLUSIVE_NEEDED 5106u

#endif
