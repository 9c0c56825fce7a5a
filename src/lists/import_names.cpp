#include "lists/import_names.h"

#include <algorithm>

#include "lists/names_decoding.h"
#include "lists/path_parts.h"
#include "platform/errors.h"

namespace lists {

std::vector<std::string> importedPaths(const std::vector<std::string>& originals, const std::vector<std::string>& names)
{
    std::vector<std::string> paths;
    const std::size_t k = std::min(originals.size(), names.size());
    paths.reserve(k);
    for (std::size_t i = 0; i < k; ++i)
        paths.push_back(folderPart(originals[i]) + names[i] + extensionOf(originals[i]));
    return paths;
}

}  // namespace lists
