// Replacing one image of a loaded skin at run time.  Controls keep image
// indexes (their border and texture entries, ConstData, the sections' own
// indexes), so an image is replaced where it stands: no ma entry is moved
// or removed.
#include <memory>

#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/FileUtils.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/sSkinManager_Colors.h"
#include "skin/core/sSkinManager_Store.h"
#include "skin/core/sSkinProps.h"

namespace {

bool Contains(const UnicodeString& S, const wchar_t* Sub)
{
    return S.find(Sub) != UnicodeString::npos;
}

int FindImage(TsSkinStore* sm, const UnicodeString& Section, const UnicodeString& Prop, bool UpperNames)
{
    for (size_t i = 0; i < sm->ma.size(); ++i) {
        const TsMaskData& m = sm->ma[i];
        const bool same = UpperNames ? AnsiUpperCase(m.PropertyName) == Prop && AnsiUpperCase(m.ClassName) == Section
                                     : m.PropertyName == Prop && m.ClassName == Section;
        if (same)
            return int(i);
    }
    return -1;
}

int FindPattern(TsSkinStore* sm, const UnicodeString& Section, const UnicodeString& Prop)
{
    for (size_t i = 0; i < sm->pa.size(); ++i)
        if (sm->pa[i].PropertyName == Prop && sm->pa[i].ClassName == Section)
            return int(i);
    return -1;
}

// The entry shows Bmp from now on, the whole of it.
void PutBitmap(TsMaskData& m, std::unique_ptr<TBitmap> Bmp)
{
    m.R = TRect(0, 0, Bmp->Width(), Bmp->Height());
    FreeAndNil(m.Bmp);
    m.Bmp = Bmp.release();
}

std::unique_ptr<TBitmap> ReadBmp(const UnicodeString& FileName)
{
    auto b = std::make_unique<TBitmap>();
    b->LoadFromFile(FileName);
    return b->Width() > 0 ? std::move(b) : nullptr;
}

std::unique_ptr<TJPEGImage> ReadJpeg(const UnicodeString& FileName)
{
    auto j = std::make_unique<TJPEGImage>();
    j->LoadFromFile(FileName);
    return j->Width() > 0 ? std::move(j) : nullptr;
}

bool ReplaceImage(TsSkinStore* sm, const UnicodeString& S, const UnicodeString& P, const UnicodeString& FileName)
{
    if (!Contains(FileName, L".BMP"))
        return false;
    const int i = FindImage(sm, S, P, false);
    if (i < 0)
        return false;
    std::unique_ptr<TBitmap> b = ReadBmp(FileName);
    if (!b)
        return false;
    if (sm->ma[size_t(i)].ImgType != itisaTexture)
        b->SetPixelFormat(pf24bit);
    PutBitmap(sm->ma[size_t(i)], std::move(b));
    return true;
}

bool ReplaceWithJpeg(TsSkinStore* sm, const UnicodeString& S, const UnicodeString& P, const UnicodeString& FileName)
{
    std::unique_ptr<TJPEGImage> jpeg = ReadJpeg(FileName);
    if (!jpeg)
        return false;
    const int p = FindPattern(sm, S, P);
    if (p >= 0) {
        FreeAndNil(sm->pa[size_t(p)].Img);
        sm->pa[size_t(p)].Img = jpeg.release();
        return true;
    }
    // A texture of that name (a small JPEG or a "~" value) takes the new
    // picture where it stands.
    const int i = FindImage(sm, S, P, true);
    if (i >= 0) {
        auto b = std::make_unique<TBitmap>(jpeg->Width(), jpeg->Height(), pf24bit);
        b->Canvas()->Draw(0, 0, jpeg.get());
        TsMaskData& m = sm->ma[size_t(i)];
        m.ImgType = itisaTexture;
        m.ImageCount = 1;
        m.MaskType = 0;
        PutBitmap(m, std::move(b));
        return true;
    }
    TsPatternData n;
    n.ClassName = S;
    n.PropertyName = P;
    sm->pa.push_back(n);
    sm->pa.back().Img = jpeg.release();
    return true;
}

bool ReplaceWithBmp(TsSkinStore* sm, const UnicodeString& S, const UnicodeString& P, const UnicodeString& FileName)
{
    std::unique_ptr<TBitmap> b = ReadBmp(FileName);
    if (!b)
        return false;
    const int i = FindImage(sm, S, P, true);
    if (i >= 0) {
        PutBitmap(sm->ma[size_t(i)], std::move(b));
        return true;
    }
    TsMaskData m;
    m.ClassName = S;
    m.PropertyName = P;
    m.ImageCount = 1;
    m.ImgType = itisaTexture;
    m.Manager = sm->StoreOwner;
    sm->ma.push_back(m);
    PutBitmap(sm->ma.back(), std::move(b));
    // The texture now wins over a JPEG pattern of the same name; patterns
    // are looked up by name each time, so dropping one disturbs no index.
    const int p = FindPattern(sm, S, P);
    if (p >= 0) {
        FreeAndNil(sm->pa[size_t(p)].Img);
        sm->pa.erase(sm->pa.begin() + p);
    }
    return true;
}

} // namespace

bool ChangeImageInSkin(const UnicodeString& SkinSection, const UnicodeString& PropName, const UnicodeString& FileName,
                       TsSkinStore* sm)
{
    if (!sm || !sm->SkinData || !sm->SkinData->Active || SkinSection.empty() || PropName.empty() ||
        !FileExists(FileName))
        return false;
    const UnicodeString P = AnsiUpperCase(PropName);
    const UnicodeString S = AnsiUpperCase(SkinSection);
    // Pictures painted from the old image, and lookups by name, go.
    sm->ReleasePaintCache();
    try {
        if (P != s_Pattern && P != s_HotPattern)
            return ReplaceImage(sm, S, P, FileName);
        if (!Contains(AnsiUpperCase(FileName), L".BMP"))
            return ReplaceWithJpeg(sm, S, P, FileName);
        return ReplaceWithBmp(sm, S, P, FileName);
    } catch (const EInvalidGraphic&) {
        return false;   // an unreadable file changes nothing
    } catch (const EStreamError&) {
        return false;
    }
}
