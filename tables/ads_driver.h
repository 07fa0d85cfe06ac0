// The "ADS" driver, which works through the client engine "ACE32.dll". While it is
// registered, every change of the date format, the epoch and the deleted-record
// filter is passed on to the engine at once.
#pragma once

#include <string>

namespace tbl {

// Hands the server type to the engine at once (entry 201).
void ADSSETSERVERTYPE(int type);

// Sets the driver's file type: 1 NTX, 2 CDX, 3 ADT. Any other number leaves it
// unchanged. Returns the previous file type.
int ADSSETFILETYPE(int type);
int ads_file_type();

// The file type that an index format name stands for: "NTX" 1, "CDX" 2, else 3.
int file_type_for_index_format(const std::string& name);

// What the current file type means for tables opened through the driver.
const char* ads_table_kind();      // "ADSNTX", "ADSCDX", "ADSADT"
const char* ads_index_extension(); // ".ntx", ".cdx", ".adi"
const char* ads_table_extension(); // ".dbf", ".dbf", ".adt"

// Called by the driver registry.
void ads_on_register();
void ads_on_shutdown();

}  // namespace tbl
