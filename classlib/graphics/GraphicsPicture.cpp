// TGraphic's common part, TPicture and the picture-format registry.
#include "classlib/graphics/Graphics.h"
#include "classlib/graphics/Jpeg.h"
#include "classlib/rtl/SysUtils.h"

#include <memory>

// ---------------------------------------------------------------------------
void TGraphic::Changed(TObject*)
{
    FModified = true;
    if (OnChange)
        OnChange(this);
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                        const UnicodeString& Msg)
{
    if (OnProgress)
        OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

void TGraphic::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed(this);
}

void TGraphic::SetSize(int AWidth, int AHeight)
{
    SetWidth(AWidth);
    SetHeight(AHeight);
}

void TGraphic::SetModified(bool Value)
{
    if (Value)
        Changed(this);
    else
        FModified = false;
}

void TGraphic::LoadFromFile(const UnicodeString& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const UnicodeString& FileName)
{
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

// ---------------------------------------------------------------------------
namespace {

struct FileFormat {
    UnicodeString Extension;
    UnicodeString Description;
    TGraphicClass Class;
};

// Newest registrations first, as file dialogs list them.
std::vector<FileFormat>& Formats()
{
    static std::vector<FileFormat> list = {
        {L"jpg", L"JPEG Image File", GraphicClass<TJPEGImage>()},
        {L"jpeg", L"JPEG Image File", GraphicClass<TJPEGImage>()},
        {L"bmp", L"Bitmaps", GraphicClass<TBitmap>()},
        {L"ico", L"Icons", GraphicClass<TIcon>()},
    };
    return list;
}

UnicodeString BareExtension(const UnicodeString& Ext)
{
    return !Ext.empty() && Ext[0] == L'.' ? Ext.substr(1) : Ext;
}

// The class whose instances are made for a copy of Value.
TGraphicClass ClassOf(const TGraphic* Value)
{
    const UnicodeString name = Value->ClassName();
    for (const FileFormat& f : Formats())
        if (name == f.Class->Name)
            return f.Class;
    for (TGraphicClass c : {GraphicClass<TBitmap>(), GraphicClass<TIcon>(), GraphicClass<TJPEGImage>()})
        if (name == c->Name)
            return c;
    return nullptr;
}

} // namespace

void TPicture::RegisterFileFormat(const UnicodeString& Extension, const UnicodeString& Description,
                                  TGraphicClass Class)
{
    if (!Class)
        return;
    UnicodeString ext = LowerCase(BareExtension(Extension));
    auto& list = Formats();
    std::erase_if(list, [&](const FileFormat& f) { return SameText(f.Extension, ext); });
    list.insert(list.begin(), FileFormat{ext, Description, Class});
}

void TPicture::UnregisterGraphicClass(TGraphicClass Class)
{
    std::erase_if(Formats(), [&](const FileFormat& f) { return f.Class == Class; });
}

TGraphicClass TPicture::FindFileFormat(const UnicodeString& Extension)
{
    UnicodeString ext = BareExtension(Extension);
    for (const FileFormat& f : Formats())
        if (SameText(f.Extension, ext))
            return f.Class;
    return nullptr;
}

UnicodeString GraphicFilter(TGraphicClass Class)
{
    UnicodeString all, each;
    for (const FileFormat& f : Formats()) {
        std::unique_ptr<TGraphic> sample(f.Class->Create());
        if (Class && sample && !Class->IsInstance(sample.get()))
            continue;
        UnicodeString mask = L"*." + f.Extension;
        all += (all.empty() ? L"" : L";") + mask;
        each += L"|" + f.Description + L" (" + mask + L")|" + mask;
    }
    if (all.empty())
        return UnicodeString();
    return L"All (" + all + L")|" + all + each;
}

UnicodeString GraphicExtension(TGraphicClass Class)
{
    for (const FileFormat& f : Formats())
        if (f.Class == Class)
            return f.Extension;
    return UnicodeString();
}

// ---------------------------------------------------------------------------
TPicture::~TPicture()
{
    delete FGraphic;
}

void TPicture::GraphicChanged(TObject*)
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Replace(TGraphic* Value)
{
    TGraphic* old = FGraphic;
    FGraphic = Value;
    delete old;
    if (FGraphic)
        FGraphic->OnChange = Bind(this, &TPicture::GraphicChanged);
    GraphicChanged(this);
}

void TPicture::SetGraphic(TGraphic* Value)
{
    if (Value == FGraphic)
        return;
    if (!Value) {
        Replace(nullptr);
        return;
    }
    TGraphicClass cls = ClassOf(Value);
    if (!cls)
        throw EInvalidGraphic(L"Unknown picture format " + Value->ClassName());
    std::unique_ptr<TGraphic> copy(cls->Create());
    copy->Assign(Value);
    Replace(copy.release());
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(FGraphic))
        Replace(New<TBitmap>());
    return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::Icon()
{
    if (!dynamic_cast<TIcon*>(FGraphic))
        Replace(New<TIcon>());
    return static_cast<TIcon*>(FGraphic);
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source)
        SetGraphic(nullptr);
    else if (auto* p = dynamic_cast<TPicture*>(Source))
        SetGraphic(p->Graphic());
    else if (auto* g = dynamic_cast<TGraphic*>(Source))
        SetGraphic(g);
    else
        TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest)
{
    if (FGraphic && dynamic_cast<TGraphic*>(Dest))
        Dest->Assign(FGraphic);
    else
        TPersistent::AssignTo(Dest);
}

void TPicture::LoadFromFile(const UnicodeString& FileName)
{
    UnicodeString ext = BareExtension(ExtractFileExt(FileName));
    TGraphicClass cls = FindFileFormat(ext);
    if (!cls)
        throw EInvalidGraphic(L"Unknown picture file extension (." + ext + L")");
    std::unique_ptr<TGraphic> g(cls->Create());
    g->LoadFromFile(FileName);
    Replace(g.release());
}

void TPicture::SaveToFile(const UnicodeString& FileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}
