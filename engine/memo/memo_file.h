// A table's memo file: reads and writes FPT and DBT (dBASE III and IV) memos.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "dbf/header.h"
#include "io/file.h"
#include "memo/memo_format.h"
#include "status.h"

namespace ace::memo {

class MemoFile {
 public:
  // `shared`: other users may write the file too, so allocating blocks takes the
  // memo header lock.
  static Status open(const std::string& path, dbf::MemoKind kind, io::Access access, io::Share share,
                     bool shared, std::unique_ptr<MemoFile>* out);
  static Status create_fpt(const std::string& path, uint32_t block_size,
                           std::unique_ptr<MemoFile>* out);
  static Status create_dbt3(const std::string& path, std::unique_ptr<MemoFile>* out);

  // The text of the memo at `block`; block 0 is the empty memo.
  Status read(uint32_t block, std::string* out);
  // Stores `text` and gives its block (0 for an empty text). A text that fits in
  // the blocks of `old_block` (a memo of the same record) reuses them; a longer
  // one goes to fresh blocks at the end. dBASE III memos refuse text holding 0x1A
  // (ACE_ERR_DATATYPE); a header whose next free block is impossible gives
  // ACE_ERR_CORRUPT and nothing is written.
  Status write(std::string_view text, uint32_t old_block, uint32_t* new_block);
  Status flush();

  dbf::MemoKind kind() const { return kind_; }
  const std::string& path() const { return file_->path(); }

 private:
  MemoFile(std::unique_ptr<io::File> file, dbf::MemoKind kind, bool shared)
      : file_(std::move(file)), kind_(kind), shared_(shared) {}
  Status load_header(MemoHeader* h);

  std::unique_ptr<io::File> file_;
  dbf::MemoKind kind_;
  bool shared_;
};

}  // namespace ace::memo
