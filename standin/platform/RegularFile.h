#pragma once
// Reading files that a model names (textures, material libraries, buffers):
// only regular files are read, since a device or FIFO named there would
// block the reader or feed it without end, and never more than a limit.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zem {

// Opens the file at the native path for reading when it is a regular file
// of at most maxBytes (a FIFO is not waited for); null otherwise, with why
// in words ("not a regular file", "larger than 256 MB", the system's
// reason).
std::FILE* OpenRegularFile(const std::string& nativePath, std::uintmax_t maxBytes, std::string& why);

// The whole file, as OpenRegularFile allows it; false with why on failure.
bool ReadRegularFile(const std::string& nativePath, std::uintmax_t maxBytes, std::vector<unsigned char>& data,
                     std::string& why);

// "256 MB", "2 GB": a size in the words of the messages above.
std::string SizeInWords(std::uintmax_t bytes);

}  // namespace zem
