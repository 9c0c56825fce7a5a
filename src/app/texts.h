#pragma once
// Every text the main window shows, as the user reads it (UTF-8).
#include <cstddef>
#include <string>

namespace texts {

constexpr const char* productName = "诺默拉";
constexpr const char* versionString = "v3.0.1";
constexpr const char* applicationTitle = "诺通";

namespace menu {
constexpr const char* open = "打开文件";
constexpr const char* openHint = "打开要改名的文件，可多选";
constexpr const char* add = "添加文件";
constexpr const char* addHint = "添加文件到已有列表，可多选";
constexpr const char* clear = "清空文件";
constexpr const char* clearHint = "清空文件名列表";
constexpr const char* preview = "新名预览";
constexpr const char* previewHint = "预览将要生成的新文件名";
constexpr const char* cancel = "取消预览";
constexpr const char* cancelHint = "取消新文件名预览，重新设计";
constexpr const char* run = "开始执行";
constexpr const char* runHint = "执行改名操作";
constexpr const char* undo = "撤销执行";
constexpr const char* undoHint = "撤销上次执行，把文件恢复原状";
constexpr const char* help = "帮助";
constexpr const char* web = "官网";
constexpr const char* checkUpdate = "检查更新";
constexpr const char* separator = "-";
constexpr const char* about = "关于";
constexpr const char* exit = "退出";
}  // namespace menu

namespace caption {
constexpr const char* gbName = "文件名 ";
constexpr const char* gbExtension = "扩展名 ";
constexpr const char* gbAttributes = "文件属性 ";
constexpr const char* gbOutput = "输出设置 ";
constexpr const char* gbOld = "原文件名";
constexpr const char* gbNew = "改名后文件名";
constexpr const char* gbReplace = "部分替换";
constexpr const char* rgIncDec = "增量";
constexpr const char* cbNewname = "新文件名";
constexpr const char* cbInitNo = "起始序号";
constexpr const char* edtvalue = "001";
constexpr const char* posAfter = "序号后置";
constexpr const char* posBefore = "序号前置";
constexpr const char* increment = "+1";
constexpr const char* decrement = "-1";
constexpr const char* arrows = ">>";
constexpr const char* cbBeforename = "名前插入";
constexpr const char* cbAftername = "名后插入";
constexpr const char* cbChangesuffix = "改变";
constexpr const char* cbReadonly = "只读";
constexpr const char* cbHidden = "隐藏";
constexpr const char* rbRename = "直接改名（替换原文件名）";
constexpr const char* rbSaveas = "另存到文件夹...";
constexpr const char* btnFolder = "选择";
constexpr const char* showPath = "显示全目录";
constexpr const char* button1 = "导入文件名";
}  // namespace caption

namespace hint {
constexpr const char* gbExtension = "改变文件扩展名/后缀";
constexpr const char* gbAttributes = "设置文件属性";
constexpr const char* gbReplace = "部分替换时，不能填写新文件名（即 不能勾选）";
constexpr const char* newName = "输入新文件名";
constexpr const char* startNumber = "输入起始序号";
constexpr const char* oldPart = "原文件名部分";
constexpr const char* newPart = "原文件名部分替换为";
constexpr const char* before = "若要在原文件名前插入字符，请不要勾选【新文件名】";
constexpr const char* after = "若要在原文件名后插入字符，请不要勾选【新文件名】";
constexpr const char* suffix = "若只想改变扩展名，请不要勾选【新文件名】";
constexpr const char* attributes = "若只想改变属性，请不要勾选【新文件名】";
constexpr const char* lbpath = "双击更改";
constexpr const char* showPath = "显示文件的全路径";
constexpr const char* button1 = "导入准备好的文件名txt文件，一行一个";
}  // namespace hint

constexpr const char* openFilter = "JPG文件(*.jpg)|*.jpg|所有文件(*.*)|*.*";
constexpr const char* importFilter = "文本文件(*.txt)|*.txt";

// The maker's web host and support address: reserved example names, so that no real third
// party is ever contacted.
// Both are short enough for the About window's links to stay on one line with room to spare.
constexpr const char* webHost = "www.nmr.example";
constexpr const char* supportAddress = "kf@nmr.example";
constexpr const char* homePage = "http://www.nmr.example/cn/index.htm";
constexpr const char* downloadPage = "http://www.nmr.example/cn/dl.htm";

namespace about {
constexpr const char* title = "关于";
constexpr const char* mailPrefix = "Emial: ";
constexpr const char* webPrefix = "官网：";
constexpr const char* company = "澜岩出品";
}  // namespace about

constexpr const char* counterPrefix = "共 ";
constexpr const char* counterSuffix = " 行";
// "共 " + count + " 行"
inline std::string counterText(std::size_t lines)
{
    return counterPrefix + std::to_string(lines) + counterSuffix;
}

namespace progress {
// What the progress window and a close say of the run going on.
struct RunTexts {
    const char* title;
    const char* stopQuestion;
};
constexpr RunTexts executing{"正在执行…", "确定要停止执行吗？"};
constexpr RunTexts undoing{"正在撤销…", "确定要停止撤销吗？"};
constexpr const char* countPrefix = "已处理 ";
constexpr const char* countSeparator = " / ";
constexpr const char* stop = "停止";
}  // namespace progress

}  // namespace texts
