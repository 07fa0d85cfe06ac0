#include "help_text.h"

namespace dbfcheck {

const char* help_text(Command c) {
  switch (c) {
    case Command::Info:
      return "usage: dbfcheck info TABLE\n"
             "\n"
             "Prints what the table's header says: version byte and its meaning, last\n"
             "update, record count beside the count the file size implies, header and\n"
             "record lengths, flags, code page mark, the fields, the memo file and its\n"
             "block size, and the structural index with each tag's key expression, FOR\n"
             "condition, unique and descending marks.\n";
    case Command::Dump:
      return "usage: dbfcheck dump TABLE [--tag NAME] [--oem]\n"
             "\n"
             "Writes the records as CSV (RFC 4180, CRLF line ends, UTF-8) on standard\n"
             "output. The first line names the columns. The first column, _deleted, holds\n"
             "* for a deleted record and is empty otherwise. Dates are YYYY-MM-DD, times\n"
             "YYYY-MM-DD hh:mm:ss, logicals T or F (empty when unknown), memos their\n"
             "text, binary memos 0x and hex digits, null values empty. Character values\n"
             "lose their trailing blanks.\n"
             "\n"
             "  --tag NAME  records in the order of that tag of the structural index\n"
             "              (only the records the tag holds); default: record order\n"
             "  --oem       the table's text is OEM code page 850: convert it to ANSI\n"
             "              code page 1252, then to UTF-8; without it the text is\n"
             "              taken as code page 1252\n"
             "\n"
             "A line on standard error says which code page was assumed.\n";
    case Command::Verify:
      return "usage: dbfcheck verify TABLE\n"
             "\n"
             "Checks the header against the file size, every record's deleted flag,\n"
             "every memo pointer and memo block, and every tag of the structural index:\n"
             "page structure, keys in order, each key equal to its expression on its\n"
             "record, every record the FOR condition admits present once, no entry for\n"
             "a record that does not exist. Prints one line per problem, naming the\n"
             "record number or page offset, and exits with 1 when there is one.\n"
             "\n"
             "The table is opened shared and read under its header lock, so verify can\n"
             "run while other programs work with the table; they cannot append until it\n"
             "ends.\n";
    case Command::Reindex:
      return "usage: dbfcheck reindex TABLE\n"
             "\n"
             "Rebuilds the structural index from the tag definitions it holds (name, key\n"
             "expression, FOR condition, unique, descending) and the table's records.\n"
             "The table is opened exclusively: when another program has it open,\n"
             "reindex refuses and changes nothing. The new index is written beside the\n"
             "old one first and copied over it once complete.\n";
    default:
      return "usage: dbfcheck COMMAND TABLE [options]\n"
             "       dbfcheck help COMMAND | COMMAND --help\n"
             "\n"
             "Inspects, verifies and repairs tables and their compound indexes.\n"
             "\n"
             "commands:\n"
             "  info     what the header, memo file and structural index say\n"
             "  dump     the records as CSV on standard output\n"
             "  verify   check the table, its memos and its tags; exit 1 on damage\n"
             "  reindex  rebuild the structural index from its own tag definitions\n"
             "\n"
             "exit codes: 0 fine, 1 problems found, 2 wrong usage or a file that cannot\n"
             "be read. Errors go to standard error.\n";
  }
}

}  // namespace dbfcheck
