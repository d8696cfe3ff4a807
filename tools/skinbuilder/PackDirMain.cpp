// packdir FOLDER FILE: packs the skin folder FOLDER into the packed skin FILE
// with the library's own writer, so that the built-in skin is made the same
// way as any packed skin.  The build runs it (under Wine on Linux).
#include <cstdio>
#include <exception>

#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvSkinPack.h"

namespace {

UnicodeString WithSeparator(UnicodeString dir)
{
    if (!dir.empty() && dir.back() != L'\\' && dir.back() != L'/')
        dir += L'\\';
    return dir;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fputs("usage: packdir FOLDER FILE\n", stderr);
        return 2;
    }
    const UnicodeString file = argv[2];
    try {
        if (FileExists(file))
            DeleteFile(file);
        PackDir(WithSeparator(argv[1]), file);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "packdir: %s\n", e.what());
        return 1;
    }
    // PackDir writes nothing for a folder without skin files.
    if (!FileExists(file)) {
        std::fputs("packdir: the folder holds no skin files\n", stderr);
        return 1;
    }
    return 0;
}
