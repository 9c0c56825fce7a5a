#include "lists/list_record.h"

#include <sstream>

namespace lists {

namespace {
constexpr const char* heading = "nomerra lists 1";
constexpr const char* madeFromKey = "made-from";
constexpr const char* absent = "-";

std::string field(const std::string& digest) { return digest.empty() ? absent : digest; }
}  // namespace

std::string ListRecord::text() const
{
    std::string text = std::string(heading) + "\n";
    for (ListFile f : allListFiles)
        text += std::string(fileName(f)) + " " + field(of(f)) + "\n";
    return text + madeFromKey + " " + field(newMadeFrom) + "\nend\n";
}

std::optional<ListRecord> ListRecord::parse(const std::string& text)
{
    if (text.empty() || text.back() != '\n')
        return std::nullopt;
    std::istringstream in(text);
    std::string line, key, value;
    if (!std::getline(in, line) || line != heading)
        return std::nullopt;
    ListRecord record;
    auto next = [&](const std::string& wanted, std::string& into) {
        if (!std::getline(in, line))
            return false;
        const auto space = line.find(' ');
        if (space == std::string::npos || line.substr(0, space) != wanted)
            return false;
        value = line.substr(space + 1);
        if (value.empty() || value.find(' ') != std::string::npos)
            return false;
        into = value == absent ? "" : value;
        return true;
    };
    for (ListFile f : allListFiles)
        if (!next(fileName(f), record.of(f)))
            return std::nullopt;
    if (!next(madeFromKey, record.newMadeFrom) || !std::getline(in, line) || line != "end" || std::getline(in, line))
        return std::nullopt;
    return record;
}

}  // namespace lists
