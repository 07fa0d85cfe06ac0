// The "ADS" driver's tables: a TableDriver over the client engine's C interface
// (ace32.h). Engine error numbers become error objects (subsystem "ADSCDX" and so
// on, subcode the engine's number, with its OS code and file name).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "table_driver.h"

namespace tbl {

class AdsTableDriver : public TableDriver {
 public:
  // file_type: the driver's current file type (1 NTX, 2 CDX, 3 ADT).
  explicit AdsTableDriver(std::function<int()> file_type);

  std::string index_extension() const override;
  Status open(const OpenRequest& request, std::unique_ptr<Table>* out) override;

 private:
  std::function<int()> file_type_;
};

// The error object for the engine's last failure, numbered `result`.
plat::Error ads_error(uint32_t result, int file_type);

}  // namespace tbl
