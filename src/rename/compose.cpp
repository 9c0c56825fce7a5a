#include "rename/compose.h"

#include "lists/path_parts.h"
#include "platform/errors.h"
#include "platform/utf8.h"

namespace renaming {

std::string StrFiller(const std::string& text, int width)
{
    std::string filled = text;
    const std::size_t length = platform::utf8Length(text);
    if (width > 0 && length < static_cast<std::size_t>(width))
        filled.insert(0, static_cast<std::size_t>(width) - length, '0');
    return filled;
}

namespace {

std::string destinationFolder(const std::string& path, const RenameOptions& o, bool outputFolderExists)
{
    if (o.rbRename)
        return lists::folderPart(path);
    if (outputFolderExists)
        return !o.lbpath.empty() && o.lbpath.back() == '\\' ? o.lbpath : o.lbpath + "\\";
    return lists::folderPart(path) + "新文件夹\\";
}

std::string basePart(const std::string& name, const std::string& extension, const RenameOptions& o)
{
    if (o.cbNewname)
        return o.edtname;
    std::string base = name.substr(0, name.size() - extension.size());
    if (!o.edtOldpart.empty()) {
        auto at = base.find(o.edtOldpart);
        if (at != std::string::npos)
            base.replace(at, o.edtOldpart.size(), o.edtNewpart);
    }
    return base;
}

std::string numberPart(std::size_t k, const RenameOptions& o)
{
    if (!o.cbInitNo)
        return {};
    const long long step = static_cast<long long>(k);
    const long long number = o.decrement ? startNumber(o) - step : startNumber(o) + step;
    return StrFiller(std::to_string(number), static_cast<int>(platform::utf8Length(o.edtvalue)));
}

}  // namespace

long long startNumber(const RenameOptions& options)
{
    return platform::parseInteger(options.edtvalue);
}

NewEntry composeEntry(const std::string& path, std::size_t k, const RenameOptions& o, bool outputFolderExists)
{
    const std::string name = lists::namePart(path);
    const std::string extension = lists::extensionOf(path);
    const std::string before = o.cbBeforename ? o.edtForeside : std::string();
    const std::string after = o.cbAftername ? o.edtRearside : std::string();
    const std::string newExtension =
        o.cbChangesuffix && o.edtsuffix_old == extension ? o.edtsuffix_new : extension;
    const std::string number = numberPart(k, o);

    std::string full = destinationFolder(path, o, outputFolderExists);
    if (o.numberBefore)
        full += number + before + basePart(name, extension, o) + after;
    else
        full += before + basePart(name, extension, o) + after + number;
    full += newExtension;
    return {full, lists::namePart(full)};
}

}  // namespace renaming
