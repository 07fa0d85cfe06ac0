#include "memo/memo_file.h"

#include <algorithm>
#include <vector>

#include "table/lock_offsets.h"

namespace ace::memo {

Status MemoFile::open(const std::string& path, dbf::MemoKind kind, io::Access access, io::Share share,
                      bool shared, std::unique_ptr<MemoFile>* out) {
  std::unique_ptr<io::File> f;
  io::IoStatus io = io::open_file(path, access, share, io::Disposition::OpenExisting, &f);
  if (!io.ok()) return from_io(io, ACE_ERR_OPEN, path, "cannot open the memo file");
  std::unique_ptr<MemoFile> m(new MemoFile(std::move(f), kind, shared));
  MemoHeader h;
  Status s = m->load_header(&h);
  if (!s.ok()) return s;
  *out = std::move(m);
  return Status::success();
}

Status MemoFile::create_fpt(const std::string& path, uint32_t block_size,
                            std::unique_ptr<MemoFile>* out) {
  std::unique_ptr<io::File> f;
  io::IoStatus io = io::open_file(path, io::Access::ReadWrite, io::Share::Exclusive,
                                  io::Disposition::CreateAlways, &f);
  if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot create the memo file");
  MemoHeader h;
  h.block_size = block_size;
  h.next_free = static_cast<uint32_t>((kMemoHeaderSize + block_size - 1) / block_size);
  std::string bytes = encode_fpt_header(h);
  io = f->write_at(0, bytes.data(), bytes.size());
  if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot write the memo header");
  out->reset(new MemoFile(std::move(f), dbf::MemoKind::Fpt, false));
  return Status::success();
}

Status MemoFile::create_dbt3(const std::string& path, std::unique_ptr<MemoFile>* out) {
  std::unique_ptr<io::File> f;
  io::IoStatus io = io::open_file(path, io::Access::ReadWrite, io::Share::Exclusive,
                                  io::Disposition::CreateAlways, &f);
  if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot create the memo file");
  const std::string bytes = encode_dbt3_header(1);
  io = f->write_at(0, bytes.data(), bytes.size());
  if (!io.ok()) return from_io(io, ACE_ERR_CREATE, path, "cannot write the memo header");
  out->reset(new MemoFile(std::move(f), dbf::MemoKind::Dbt3, false));
  return Status::success();
}

Status MemoFile::load_header(MemoHeader* h) {
  uint8_t buf[32];
  io::IoStatus io = file_->read_at(0, buf, sizeof buf);
  if (!io.ok()) return from_io(io, ACE_ERR_READ, path(), "cannot read the memo header");
  return parse_memo_header(buf, sizeof buf, kind_, path(), h);
}

Status MemoFile::read(uint32_t block, std::string* out) {
  out->clear();
  if (block == 0) return Status::success();
  MemoHeader h;
  Status s = load_header(&h);
  if (!s.ok()) return s;
  uint64_t size = 0;
  io::IoStatus io = file_->size(&size);
  if (!io.ok()) return from_io(io, ACE_ERR_READ, path(), "cannot size the memo file");
  const uint64_t start = uint64_t(block) * h.block_size;
  if (start < kMemoHeaderSize && kind_ != dbf::MemoKind::Dbt4)
    return Status::error(ACE_ERR_CORRUPT, path(), "memo block inside the memo header");
  if (start >= size) return Status::error(ACE_ERR_CORRUPT, path(), "memo block beyond the end of the memo file");
  const uint64_t avail = size - start;

  std::vector<uint8_t> buf;
  if (kind_ == dbf::MemoKind::Dbt3) {
    // Read block by block until the end mark, never past the end of the file.
    const size_t step = 512;
    while (buf.size() < avail) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(step, avail - buf.size()));
      size_t at = buf.size();
      buf.resize(at + n);
      io = file_->read_at(start + at, buf.data() + at, n);
      if (!io.ok()) return from_io(io, ACE_ERR_READ, path(), "cannot read a memo");
      bool end = false;
      for (size_t i = at; i < at + n && !end; ++i) end = buf[i] == 0x1A;
      if (end) break;
    }
    return extract_memo(buf.data(), buf.size(), kind_, path(), out);
  }
  // FPT and dBASE IV: a fixed block header with the length, checked before the
  // data is read.
  uint8_t head[8];
  if (avail < sizeof head) return Status::error(ACE_ERR_CORRUPT, path(), "memo block beyond the end of the memo file");
  io = file_->read_at(start, head, sizeof head);
  if (!io.ok()) return from_io(io, ACE_ERR_READ, path(), "cannot read a memo");
  s = extract_memo(head, sizeof head, kind_, path(), out);
  uint64_t total;
  if (kind_ == dbf::MemoKind::Fpt) {
    total = 8 + ((uint64_t(head[4]) << 24) | (uint64_t(head[5]) << 16) | (uint64_t(head[6]) << 8) | head[7]);
  } else {
    if (!s.ok() && s.text.find("mark") != std::string::npos) return s;
    total = uint64_t(head[4]) | (uint64_t(head[5]) << 8) | (uint64_t(head[6]) << 16) | (uint64_t(head[7]) << 24);
    if (total < 8) return Status::error(ACE_ERR_CORRUPT, path(), "memo length beyond the end of the memo file");
  }
  if (total > avail) return Status::error(ACE_ERR_CORRUPT, path(), "memo length beyond the end of the memo file");
  buf.resize(static_cast<size_t>(total));
  io = file_->read_at(start, buf.data(), buf.size());
  if (!io.ok()) return from_io(io, ACE_ERR_READ, path(), "cannot read a memo");
  return extract_memo(buf.data(), buf.size(), kind_, path(), out);
}

Status MemoFile::write(std::string_view text, uint32_t old_block, uint32_t* new_block) {
  if (kind_ != dbf::MemoKind::Fpt && kind_ != dbf::MemoKind::Dbt3 && kind_ != dbf::MemoKind::Dbt4)
    return Status::error(ACE_ERR_UNSUPPORTED, path(), "memos of this kind are read only");
  if (text.empty()) {
    *new_block = 0;
    return Status::success();
  }
  if (text.size() > 0x7FFFFFF0u) return Status::error(ACE_ERR_DATAWIDTH, path(), "memo too long");
  // Readers end a dBASE III memo at its first 0x1A: stored, the text would come
  // back cut short.
  if (kind_ == dbf::MemoKind::Dbt3 && text.find('\x1A') != std::string_view::npos)
    return Status::error(ACE_ERR_DATATYPE, path(), "a dBASE III memo cannot hold the character 0x1A");
  if (shared_) {
    io::IoStatus io = file_->lock(table::kHeaderLockOffset, 1);
    if (!io.ok()) return from_io(io, ACE_ERR_RECORD_LOCK, path(), "memo file is locked by another user");
  }
  auto release = [&] {
    if (shared_) file_->unlock(table::kHeaderLockOffset, 1);
  };
  MemoHeader h;
  Status s = load_header(&h);
  if (!s.ok()) return release(), s;
  uint64_t size = 0;
  io::IoStatus io = file_->size(&size);
  if (!io.ok()) return release(), from_io(io, ACE_ERR_READ, path(), "cannot size the memo file");
  // A damaged next-free would hand out the header's own bytes or leave a gap of
  // any size: refuse rather than write there.
  const uint64_t end_blocks = (size + h.block_size - 1) / h.block_size;
  if (uint64_t(h.next_free) * h.block_size < kMemoHeaderSize)
    return release(), Status::error(ACE_ERR_CORRUPT, path(), "memo header's next free block lies inside the header");
  if (h.next_free > end_blocks)
    return release(), Status::error(ACE_ERR_CORRUPT, path(), "memo header's next free block lies beyond the end of the memo file");

  const uint64_t need = blocks_for(kind_, text.size(), h.block_size);
  uint32_t block = 0;
  if (old_block != 0 && uint64_t(old_block) * h.block_size >= kMemoHeaderSize &&
      uint64_t(old_block) + need <= h.next_free) {
    // A dBASE III memo's length shows only as its end mark: look through as many
    // blocks as the new text needs. The others keep it in the block header.
    const uint64_t start = uint64_t(old_block) * h.block_size;
    const uint64_t want = kind_ == dbf::MemoKind::Dbt3 ? need * h.block_size : 8;
    std::vector<uint8_t> head(static_cast<size_t>(std::min<uint64_t>(want, size > start ? size - start : 0)));
    if (!head.empty() && file_->read_at(start, head.data(), head.size()).ok() &&
        old_memo_blocks(head.data(), head.size(), kind_, h.block_size) >= need)
      block = old_block;
  }
  const bool fresh = block == 0;
  if (fresh) {
    block = h.next_free;
    if (uint64_t(block) + need > 0xFFFFFFFFu) return release(), Status::error(ACE_ERR_WRITE, path(), "memo file is full");
  }
  const std::string bytes = encode_memo(kind_, text, h.block_size);
  // The memo goes down before the header hands its blocks out: a crash between
  // the two loses free space, never a memo.
  io = file_->write_at(uint64_t(block) * h.block_size, bytes.data(), bytes.size());
  if (io.ok() && fresh) {
    const std::string nf = encode_next_free(kind_, static_cast<uint32_t>(block + need));
    io = file_->write_at(0, nf.data(), nf.size());
  }
  release();
  if (!io.ok()) return from_io(io, ACE_ERR_WRITE, path(), "cannot write a memo");
  *new_block = block;
  return Status::success();
}

Status MemoFile::flush() {
  io::IoStatus io = file_->flush();
  return from_io(io, ACE_ERR_WRITE, path(), "cannot flush the memo file");
}

}  // namespace ace::memo
