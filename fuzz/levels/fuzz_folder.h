// The level readers open their files by name under the working folder: the
// fuzz targets work in a private temporary folder and write each input there.
#pragma once

#include <cstddef>
#include <string>

namespace qmfuzz {

// Makes a temporary folder the working folder (once per process).
void EnterScratchFolder();
// Writes the bytes to `path` under the working folder, making its folders.
void WriteInput(const std::string& path, const void* data, std::size_t size);

}  // namespace qmfuzz
