#include "lists/views.h"

#include "app/main_window.h"
#include "app/texts.h"
#include "platform/utf8.h"

namespace lists {

std::size_t countLines(const std::string& text)
{
    std::size_t lines = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        ++lines;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        if (i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        ++i;
    }
    return lines;
}

std::string viewText(const std::string& listText)
{
    std::string text;
    text.reserve(listText.size());
    for (char c : listText) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && c != '\r' && c != '\n')
            text += platform::utf8Encode(0x2400 + b);
        else
            text += c;
    }
    return text;
}

std::string counterText(std::size_t lines)
{
    return texts::counterPrefix + std::to_string(lines) + texts::counterSuffix;
}

}  // namespace lists

void TFrmMain::loadView(platform::Memo& view, lists::ListPair pair, bool fullPaths)
{
    using lists::ListFile;
    const bool original = pair == lists::ListPair::Original;
    const ListFile pathFile = original ? ListFile::OriginalPaths : ListFile::NewPaths;
    const ListFile nameFile = original ? ListFile::OriginalNames : ListFile::NewNames;
    if (!store_.exists(pathFile))
        return;
    view.setText(lists::viewText(store_.text(fullPaths ? pathFile : nameFile)));
}

void TFrmMain::mmOriginalChange()
{
    lb_old.setText(lists::counterText(lists::countLines(mmOriginal.text())));
}

void TFrmMain::mmRenamedChange()
{
    lb_new.setText(lists::counterText(lists::countLines(mmRenamed.text())));
}

void TFrmMain::cbShowpathOClick()
{
    loadView(mmOriginal, lists::ListPair::Original, cbShowpathO.checked());
}

void TFrmMain::cbshowpathRClick()
{
    loadView(mmRenamed, lists::ListPair::New, cbshowpathR.checked());
}
