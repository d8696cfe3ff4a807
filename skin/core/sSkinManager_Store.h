// The loaded skin of a skin manager: its tables (sSkinTables) with the
// images they own, the shadow templates of extended borders, and the
// loading of a skin from a folder, a packed file or an internal skin.
//
// The manager derives from TsSkinStore (besides TComponent), sets SkinData
// and StoreOwner in its constructor and answers ShadowsWanted and
// CheckVersion.  Its reloads call:
//   ReloadSkin        a skin folder, else an internal skin;
//   ReloadPackedSkin  a ".plz" file;
//   LoadSkin          any source the caller has prepared.
// A load either completes or changes nothing: the new skin is built aside
// and takes the place of the old one only when every step succeeded, so an
// exception (a damaged image, an unreadable number) leaves the previous
// skin, its indexes and SkinData as they were.  TsSkinChangeScope keeps
// aSkinChanging and SkinData->Active right around a change.
#pragma once

#include "skin/core/sSkinTables.h"

class TBitmap;
class TCustomIniFile;
class TkvSkinConvertor;
class TsStoredSkin;
class TsStoredSkins;
class TStrings;

// Where a load reads the skin from.
struct TsSkinSource {
    TCustomIniFile* SkinFile = nullptr;  // the description; nullptr: the unpacked collections of Stored
    TkvSkinConvertor* sc = nullptr;      // the entries of a packed skin; nullptr: image files under SkinPath
    TsStoredSkin* Stored = nullptr;      // the internal skin read when there is no description
    UnicodeString SkinPath;              // folder of the image files with "\"; empty for internal skins
};

// What the manager's settings add to every load.
struct TsSkinLoadSettings {
    TStrings* CommonSections = nullptr;  // description lines merged into every skin (may be nullptr)
    int HueOffset = 0;                   // degrees
    int Saturation = 0;                  // percent
};

enum TsReloadResult {
    rrLoaded,  // the skin is in the tables
    rrNoSkin   // no folder and no internal skin: nothing changed, the manager turns itself off
};

class TsSkinStore : public TsSkinTables {
public:
    TBitmap* MasterBitmap = nullptr;  // the master image (owned); regions of it are ma entries without Bmp
    bool SkinIsPacked = false;        // the skin came from packed data
    TBitmap* ShdaTemplate = nullptr;  // shadow template of active windows (owned)
    TBitmap* ShdiTemplate = nullptr;  // shadow template of inactive windows (owned)
    TRect FormShadowSize{};           // shadow margins that extended borders add around a form
    TObject* StoreOwner = nullptr;    // the manager; every image entry names it as its Manager

    TsSkinStore() = default;
    ~TsSkinStore() override;

    // Frees every image (last to first) and the master image; empties ma.
    void FreeBitmaps();
    // Frees every pattern; empties pa.
    void FreeJpegs();
    // Removes the skin: the tables empty, the indexes -1, the templates kept.
    void ClearSkin();

    // Builds the skin of Source aside (images, patterns, sections, recolouring
    // by Settings) and, when all of it succeeded, puts it in place of the
    // current one and recomputes ConstData and the shadow templates.  Any
    // failure raises and leaves everything as it was.  SkinData->Active is
    // not touched.
    void LoadSkin(const TsSkinSource& Source, const TsSkinLoadSettings& Settings);

    // The manager's reload of a folder or an internal skin.  FullSkinDir is
    // the resolved skin directory with its "\".  The folder FullSkinDir + "\"
    // + SkinName + "\Options.dat" is read when it exists; otherwise the
    // internal skin named SkinName, or, when there is none of that name, the
    // first internal skin, whose name then comes back in SkinName.
    TsReloadResult ReloadSkin(const UnicodeString& FullSkinDir, UnicodeString& SkinName, TsStoredSkins* InternalSkins,
                              const TsSkinLoadSettings& Settings);
    // The manager's reload of the packed skin file FileName.  A missing file,
    // a file that is not a packed skin and one without "Options.dat" raise.
    void ReloadPackedSkin(const UnicodeString& FileName, const UnicodeString& FullSkinDir,
                          const TsSkinLoadSettings& Settings);

protected:
    // Prepares the shadow templates and FormShadowSize for the current skin.
    void CheckShadows() override;
    // Whether shadows are wanted at all: the manager answers Active and
    // ExtendedBorders (with the layered-window function present).
    virtual bool ShadowsWanted() const { return false; }
    // Called with the skin version while a description is read.  The default
    // warns of a skin newer than this library.
    virtual void CheckVersion(double Version);

private:
    friend class TsSkinLoader;
    // Takes Staged's tables, master image and global values; Staged gets the
    // old ones (and frees them when it goes).
    void TakeSkin(TsSkinStore& Staged);
};

// Raises aSkinChanging and marks the skin not announced (SkinData->Active
// False) while a change runs.  Leaving puts aSkinChanging back; leaving by an
// exception also gives the previous skin, still in place, its Active again.
class TsSkinChangeScope {
public:
    explicit TsSkinChangeScope(TsSkinData* SkinData);
    ~TsSkinChangeScope();
    TsSkinChangeScope(const TsSkinChangeScope&) = delete;
    TsSkinChangeScope& operator=(const TsSkinChangeScope&) = delete;

private:
    TsSkinData* FSkinData;
    bool FWasChanging;
    bool FWasActive;
    int FExceptions;
};

// The default shadow pictures, read from the resources "KVSHDA" and
// "KVSHDI" on first use; nullptr when a resource is missing or damaged.
TBitmap* ShdaImage();
TBitmap* ShdiImage();
// Replaces the default shadow pictures (taken over; nullptr for none).
void SetShadowImages(TBitmap* Active, TBitmap* Inactive);
// True on Windows 6 or later while desktop composition is on (the desktop
// window manager library is loaded on demand).
bool AeroIsEnabled();
