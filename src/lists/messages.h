#pragma once
// Every text the engine puts into a notice or a report, as the user reads it (UTF-8). The
// window's own texts are in src/app/texts.h; the engine never sees those.
#include <cstddef>
#include <functional>
#include <string>

namespace messages {

constexpr const char* listsChanged = "列表已被其他程序修改，请重新打开文件并预览。";
constexpr const char* missingPathsHeading = "以下文件不存在，未加入列表：";

// A run journal beside the program that is not this program's: set aside under another name.
constexpr const char* journalBesideNotice = "程序文件夹中的 ThumbRun.db 不是本程序现在的执行记录，没有据以处理任何文件";
constexpr const char* journalBesideKept = "，也无法改名。";
constexpr const char* journalBesideRenamedPrefix = "，已改名为 ";
constexpr const char* journalBesideRenamedSuffix = "。";
constexpr const char* noPreview = "没有预览，无法执行。";
// The first original file is gone: "没有找到文件 " + its path + this.
constexpr const char* notFoundPrefix = "没有找到文件 ";
constexpr const char* notFoundSuffix = "， 请检查文件是否存在，是否已经改名。";

// A drop or hand-over that would add more files than one list takes (lists::maxGivenFiles).
constexpr const char* tooManyGiven = "一次加入的文件超过 1000000 个，未加入列表。";

// Why a pair of a run was not done.
namespace reason {
constexpr const char* targetExists = "目标文件已存在";
constexpr const char* sourceMissing = "原文件不存在";
constexpr const char* targetFolderMissing = "目标文件夹不存在";
constexpr const char* invalidName = "文件名无效";
constexpr const char* duplicateSource = "原文件重复";
constexpr const char* caseNotKept = "大小写更改未生效";
constexpr const char* stopped = "已停止";
constexpr const char* unidentified = "无法识别文件";
}  // namespace reason

// The report at the end of a run.
namespace report {
constexpr const char* succeeded = "执行成功!";
constexpr const char* finishedPrefix = "执行完成，";
constexpr const char* failedSuffix = " 个文件未处理：";
constexpr const char* parkedPrefix = "文件暂存于 ";
constexpr const char* strayPrefix = "多余副本 ";
constexpr const char* openFolderQuestion = "是否打开目录查看 ";
}  // namespace report

// The notice after settling a run that did not end.
namespace recovery {
constexpr const char* prefix = "上次执行未完成，已恢复：";
constexpr const char* doneSuffix = " 个文件已改名，";
constexpr const char* leftSuffix = " 个文件未处理。";
}  // namespace recovery

// Why a pair of the last run was not taken back, beside the reasons of a run.
namespace undoReason {
constexpr const char* fileMissing = "文件不存在";
constexpr const char* notTheSameFile = "文件已不是上次改名的文件";
constexpr const char* copyChanged = "复制出的文件已被修改，未删除";
constexpr const char* originalGone = "原文件已不存在，复制出的文件保留";
}  // namespace undoReason

// The question before an undo and the notice after it.
namespace undo {
constexpr const char* question = "确定要撤销上次执行吗？";
constexpr const char* renamePrefix = "将把 ";
constexpr const char* renameSuffix = " 个文件改回原名。";
constexpr const char* copyPrefix = "将删除上次复制出的 ";
constexpr const char* copySuffix = " 个文件。";
constexpr const char* succeeded = "撤销成功!";
constexpr const char* finishedPrefix = "撤销完成，";
constexpr const char* historySetAsidePrefix = "撤销记录已损坏，已改名为 ";
constexpr const char* historySetAsideSuffix = "，其中的执行不能再撤销。";
constexpr const char* historyKept = "撤销记录已损坏，其中的执行不能再撤销。";
}  // namespace undo

// The lines that name items in a notice: "\r" + each of the first ten, then "\r……" when there
// are more. item(i) is asked only for the ten shown.
std::string firstTenLines(std::size_t count, const std::function<std::string(std::size_t)>& item);

}  // namespace messages
