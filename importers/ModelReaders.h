#pragma once
// The table of model readers: which reader takes a model file, chosen by the
// file's extension. Adding a format is a reader (a function of the shape
// below), a row in ModelReaders.cpp, its test and its fuzz target.
#include "importers/ModelReport.h"

#include <span>
#include <string>

class CRhinoDoc;

namespace zem {

// Reads the model file at `path` into the empty `doc`. On failure the
// report's error says why (without the file's name, which the caller knows)
// and `doc` is left as it was.
using ReadModelFunction = bool (*)(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

struct ModelReader {
  const char* name;                         // what it reads, for messages and help
  std::span<const char* const> extensions;  // lower case, with the dot; none for the last resort
  ReadModelFunction read;
};

// Every reader, in the order they are asked; the last is the reader of last
// resort, which takes every extension no other row names.
std::span<const ModelReader> ModelReaders();

// The reader for the file's extension (in any case).
const ModelReader& ModelReaderFor(const std::wstring& path);

}  // namespace zem
