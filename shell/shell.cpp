#include "shell/shell.h"

namespace shell {

const SymbolTables& StandardSymbols() {
    static const SymbolTables tables{
        U" XYABCDEFGHIJKLMNOPQRSTUVWZ",
        U"　ＸＹΑＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＺ",
        U" 0123456789 */+-ﾀ=.?()!$@&'[]<>,%xyabcdefghijklmnopqrstuvwz~:",
        U"　０１２３４５６７８９　×÷＋－―＝．∽（）√≡±π∠≦≧＜＞，°χｙａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕ"
        U"ｖｗｚ△：",
    };
    return tables;
}

const Entry* Program::FindEntry(int number) const {
    for (const Entry& e : entries)
        if (e.number == number) return &e;
    return nullptr;
}

Shell::Shell(rt::Screen& screen, const Program& program)
    : scr(screen),
      prog(program),
      title(program.title),
      problemCount(program.problemCount),
      completed(program.problemCount + 1, 0) {}

}  // namespace shell
