// Files from outside: the blocks a drop and a hand-over carry, and how the main window takes them.
#include "platform/win32/drop_and_handover.h"

#include "platform/file_list_blocks.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_form.h"

namespace platform::win32 {

namespace {
// The message that carries a drop's data between the shell and the window.
constexpr UINT copyGlobalData = 0x0049;
}  // namespace

void acceptDrops(HWND window)
{
    DragAcceptFiles(window, TRUE);
    // The program runs elevated and the file browser need not: the system would drop its
    // messages to this window, so exactly these two pass. A hand-over comes from another copy
    // of this program, elevated as well, and needs no exception.
    for (UINT msg : {UINT(WM_DROPFILES), copyGlobalData})
        ChangeWindowMessageFilterEx(window, msg, MSGFLT_ALLOW, nullptr);
}

std::vector<std::string> filesOfDrop(HDROP drop)
{
    // The block is read only within its own size; DragQueryFileW would trust its offsets.
    const SIZE_T size = GlobalSize(drop);
    if (size == 0)
        return {};
    std::optional<std::vector<std::string>> files;
    if (const void* block = GlobalLock(drop)) {
        files = platform::droppedFiles({static_cast<const unsigned char*>(block), size});
        GlobalUnlock(drop);
    }
    DragFinish(drop);
    return files ? std::move(*files) : std::vector<std::string>{};
}

std::wstring handOverBlock(const std::vector<std::string>& files)
{
    std::wstring block;
    for (const auto& f : files)
        block += widen(f) + L'\0';
    return block;
}

std::optional<std::vector<std::string>> filesOfHandOver(LPARAM lParam)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != handOverTag || !data->lpData)
        return std::nullopt;
    return platform::handedOverFiles({static_cast<const unsigned char*>(data->lpData), data->cbData});
}

void Win32Form::filesDropped(HDROP drop)
{
    const auto files = filesOfDrop(drop);
    if (!files.empty())
        events_.filesDropped(files);
}

LRESULT Win32Form::filesHandedOver(LPARAM lParam)
{
    auto files = filesOfHandOver(lParam);
    if (!mainWindow_ || !files || files->empty())
        return FALSE;
    // The sender waits for the answer; a notice about these files must not hold it.
    handedOver_.push_back(std::move(*files));
    PostMessageW(hwnd_, takeHandedOverMessage, 0, 0);
    return TRUE;
}

void Win32Form::takeHandedOver()
{
    if (handedOver_.empty())
        return;
    const auto files = std::move(handedOver_.front());
    handedOver_.pop_front();
    events_.filesHandedOver(files);
}

}  // namespace platform::win32
