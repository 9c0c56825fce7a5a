#include "rename/compose.h"

#include <charconv>

#include "lists/path_parts.h"
#include "platform/errors.h"
#include "platform/line_breaks.h"
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

long long startNumber(const RenameOptions& options)
{
    return platform::parseInteger(options.edtvalue);
}

namespace {

// Composes straight into the list's text: at a million entries every string made on the way
// is a second of allocations.
class Composer {
public:
    Composer(const RenameOptions& o, bool outputFolderExists)
        : o_(o), outputFolderExists_(outputFolderExists), start_(o.cbInitNo ? startNumber(o) : 0),
          width_(o.cbInitNo ? platform::utf8Length(o.edtvalue) : 0)
    {
    }

    void append(std::string& out, std::string_view path, std::size_t k) const
    {
        const std::size_t nameAt = lists::nameStart(path);
        const std::string_view name = path.substr(nameAt);
        const std::size_t dot = name.rfind('.');
        const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
        const std::string_view base = name.substr(0, name.size() - extension.size());

        appendFolder(out, path.substr(0, nameAt));
        if (o_.numberBefore)
            appendNumber(out, k);
        if (o_.cbBeforename)
            out += o_.edtForeside;
        appendBase(out, base);
        if (o_.cbAftername)
            out += o_.edtRearside;
        if (!o_.numberBefore)
            appendNumber(out, k);
        out += o_.cbChangesuffix && o_.edtsuffix_old == extension ? std::string_view(o_.edtsuffix_new) : extension;
    }

private:
    void appendFolder(std::string& out, std::string_view folder) const
    {
        if (o_.rbRename) {
            out += folder;
        } else if (outputFolderExists_) {
            out += o_.lbpath;
            if (o_.lbpath.empty() || o_.lbpath.back() != '\\')
                out += '\\';
        } else {
            out += folder;
            out += "新文件夹\\";
        }
    }

    void appendBase(std::string& out, std::string_view base) const
    {
        if (o_.cbNewname) {
            out += o_.edtname;
            return;
        }
        const std::size_t at = o_.edtOldpart.empty() ? std::string_view::npos : base.find(o_.edtOldpart);
        if (at == std::string_view::npos) {
            out += base;
            return;
        }
        out += base.substr(0, at);
        out += o_.edtNewpart;
        out += base.substr(at + o_.edtOldpart.size());
    }

    // The number filled with "0" in front to edtvalue's length, as StrFiller does.
    void appendNumber(std::string& out, std::size_t k) const
    {
        if (!o_.cbInitNo)
            return;
        const long long step = static_cast<long long>(k);
        char digits[24];
        const auto end = std::to_chars(digits, std::end(digits), o_.decrement ? start_ - step : start_ + step).ptr;
        const auto length = static_cast<std::size_t>(end - digits);
        if (length < width_)
            out.append(width_ - length, '0');
        out.append(digits, end);
    }

    const RenameOptions& o_;
    const bool outputFolderExists_;
    const long long start_;
    const std::size_t width_;
};

}  // namespace

NewEntry composeEntry(const std::string& path, std::size_t k, const RenameOptions& o, bool outputFolderExists)
{
    std::string full;
    Composer(o, outputFolderExists).append(full, path, k);
    return {full, lists::namePart(full)};
}

std::string composeList(std::string_view originals, std::size_t firstK, const RenameOptions& o,
                        bool outputFolderExists)
{
    const Composer composer(o, outputFolderExists);
    std::string text;
    // New names are mostly about as long as the old ones.
    text.reserve(originals.size() + originals.size() / 8);
    std::size_t k = firstK;
    platform::forEachLine(originals, [&](std::size_t start, std::size_t length) {
        composer.append(text, originals.substr(start, length), k++);
        text += "\r\n";
    });
    return text;
}

}  // namespace renaming
