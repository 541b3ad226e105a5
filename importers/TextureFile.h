#pragma once
// Where a texture a model file names is on this machine. Models made
// elsewhere name their textures where they were there (D:\projects\...);
// such a file is looked for by its name, case aside, beside the model and
// in a textures/ or maps/ folder there, as viewers do. The note says where
// it was found, or where it was looked for.
#include "importers/ModelReport.h"

#include <filesystem>
#include <string>

namespace zem {

// The texture's path (as named when it is nowhere to be found).
std::wstring FindTextureFile(const std::filesystem::path& model, const std::string& name, int materialIndex,
                             ModelReport& report);

}  // namespace zem
