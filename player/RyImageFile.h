#pragma once
// Reading a firmware image file whole, by its bare name relative to the
// current directory, read-only and shared with other readers and writers.

#include <cstdint>
#include <memory>
#include <string>

#include "core/RyByteArray.h"

// -11 when the file cannot be opened or read; -1 without memory for it.
std::int32_t ReadImageFile(const std::string& fileName, std::unique_ptr<CRyByteArray>& bytes);
