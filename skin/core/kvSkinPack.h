// Packed skin files (".plz") and the packed data of internal skins.
//
// Layout (integers are signed 32-bit little-endian, nothing is padded):
//   "PLzf", N, then N entries of
//   L, L bytes of ANSI file name (no folder part), content size,
//   one zlib stream inflating to exactly that many bytes.
// There is no compressed length: an entry ends where its zlib stream ends.
// Readers stop after the N-th entry; whatever follows it is not looked at.
// The entry "Options.dat" (any letter case) is the skin description; every
// other entry is an image of the skin.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/System.h"

struct TkvImageItem {
    UnicodeString FileName;
    bool IsBitmap = false;                // the extension is ".bmp" in any case
    TMemoryStream* FileStream = nullptr;  // owned by the convertor
};

// The in-memory form of a packed skin.  It owns every stream it holds,
// PackedData included; a caller that lends it a stream takes it back
// (sets PackedData to nullptr) before freeing the convertor.
class TkvSkinConvertor : public TPersistent {
    KV_CLASS(TkvSkinConvertor)
public:
    int32_t ImageCount = -1;              // N - 1 after a read
    std::vector<TkvImageItem> Files;      // image entries in container order
    TMemoryStream* Options = nullptr;     // "Options.dat"; nullptr when missing
    TMemoryStream* PackedData = nullptr;  // the container being read

    ~TkvSkinConvertor() override;
    // Frees the entries (last to first), Options and PackedData.
    void Clear();
    // Frees the entries and Options only.
    void ClearEntries();
};

// Limits a container must keep; anything beyond them is damage.
constexpr int32_t kvMaxPackNameLength = 1024;
constexpr int32_t kvMaxPackEntrySize = 256 * 1024 * 1024;
// The content of all entries together; a container also never holds more
// than its size times what deflate can pack into one byte.
constexpr int32_t kvMaxPackTotalSize = 256 * 1024 * 1024;

// Unpacks PackedData into Files and Options, replacing what they held.
// Raises Exception "Loaded data is not packed Pellura file" on a wrong magic
// (the entries are dropped, PackedData stays), EReadError on a damaged or
// truncated container and EZDecompressionError on bad zlib data (the
// entries read so far stay).
void ExtractPackedData(TkvSkinConvertor* sc);

// Reads a packed skin file into sc (created when nullptr, cleared
// otherwise).  Does nothing when the file does not exist.  When reading
// fails, sc is freed and set to nullptr before the exception passes on.
void LoadSkinFromFile(const UnicodeString& FileName, TkvSkinConvertor*& sc, bool FreePackedData);

// Packs the "*.dat", "*.bmp", "*.png" and "*.jpg" files of SrcDir (given
// with its trailing separator) into FileName; writes nothing when there are
// none.  A file whose name the system code page cannot hold raises
// EWriteError naming it, and nothing is written.
void PackDir(const UnicodeString& SrcDir, const UnicodeString& FileName);

// Shows a warning of the unpacker to the user.
using TPackWarningProc = void (*)(const UnicodeString& Text);

// Unpacks FileName into DestDir (created with every missing folder above
// it).  A file without the magic is reported through Warn (nothing when it
// is nullptr) and nothing is written.  Entry names must be plain file names:
// one naming a folder, a drive, a device or a parent raises EReadError, and
// nothing is written outside DestDir.  An existing file is replaced only
// once its new content has been inflated.
void UnpackSkinFile(const UnicodeString& FileName, const UnicodeString& DestDir, TPackWarningProc Warn);
// The same, with the warning in a box of the class library's message dialog.
// It is the one routine here that needs the GUI units (kvSkinPack_Dialogs.cpp);
// the reader itself builds with the runtime and zlib alone.
void UnpackSkinFile(const UnicodeString& FileName, const UnicodeString& DestDir);
