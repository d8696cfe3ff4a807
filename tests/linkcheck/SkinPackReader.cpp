// Links the packed-skin reader with the runtime and zlib alone: the build
// fails here when the reader reaches for a GUI unit.  Built, never run.
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvSkinPack.h"

int main(int argc, char** argv)
{
    if (argc < 3)
        return 1;
    const UnicodeString file = AnsiToUnicode(argv[1]), dir = AnsiToUnicode(argv[2]);
    TkvSkinConvertor* sc = nullptr;
    LoadSkinFromFile(file, sc, true);
    delete sc;
    PackDir(dir, file);
    UnpackSkinFile(file, dir, nullptr);
    return 0;
}
