// The loader's sections: the global values of "GLOBALINFO", one gd entry per
// section of the description (or of an internal skin, or of the common
// sections), the mask indexes of every section and the recolouring.
#include <algorithm>
#include <deque>
#include <iterator>
#include <memory_resource>
#include <string_view>
#include <memory>
#include <unordered_map>
#include <vector>

#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/IniFiles.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/SysUtils.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sSkinManager_Colors.h"
#include "skin/core/sSkinManager_Description.h"
#include "skin/core/sSkinManager_ImageValue.h"
#include "skin/core/sSkinManager_Load.h"
#include "skin/core/sSkinManager_Stored.h"
#include "skin/core/sSkinProps.h"
#include "skin/paint/sGradient.h"

namespace {

// "TRUE" in any case.  Only t, r, u and e upper-case to those letters, so
// the system's (slow) upper-casing is not needed to tell.
bool IsTrue(const UnicodeString& S)
{
    return SameText(S, L"TRUE");
}

// A gradient text other than one blank becomes its pieces.
void SetGradient(UnicodeString& Text, TsGradArray& Array, const UnicodeString& Value)
{
    Text = Value;
    Array.clear();
    if (Value != L" ")
        PrepareGradArray(Value, Array);
}

// One key of a section: how it is read, its default, where it goes.  Set
// takes the value read (the integer, or the text for text keys); Copy takes
// the parent entry's value (common sections inherit from loaded entries).
struct TsSectionKey {
    const wchar_t* Key;
    bool Text;
    int IntDefault;
    const wchar_t* TextDefault;
    void (*Set)(TsGeneralData& g, int i, const UnicodeString& s);
    void (*Copy)(TsGeneralData& g, const TsGeneralData& parent);
};

#define KV_INT_KEY(key, def, field) \
    {key, false, def, L"", [](TsGeneralData& g, int i, const UnicodeString&) { g.field = i; }, \
     [](TsGeneralData& g, const TsGeneralData& p) { g.field = p.field; }}
#define KV_RGB_KEY(key, def, field) \
    {key, false, def, L"", [](TsGeneralData& g, int i, const UnicodeString&) { g.field = ColorToRGB(i); }, \
     [](TsGeneralData& g, const TsGeneralData& p) { g.field = p.field; }}
#define KV_BYTE_KEY(key, def, field) \
    {key, false, def, L"", [](TsGeneralData& g, int i, const UnicodeString&) { g.field = ClampTo<uint8_t>(i); }, \
     [](TsGeneralData& g, const TsGeneralData& p) { g.field = p.field; }}
#define KV_BOUND_KEY(key, def, field, low, high) \
    {key, false, def, L"", [](TsGeneralData& g, int i, const UnicodeString&) { g.field = BoundTo(i, low, high); }, \
     [](TsGeneralData& g, const TsGeneralData& p) { g.field = p.field; }}
#define KV_BOOL_KEY(key, def, field) \
    {key, true, 0, def, [](TsGeneralData& g, int, const UnicodeString& s) { g.field = IsTrue(s); }, \
     [](TsGeneralData& g, const TsGeneralData& p) { g.field = p.field; }}
#define KV_FONT_KEY(key, def, field, n) \
    {key, false, def, L"", [](TsGeneralData& g, int i, const UnicodeString&) { g.field[n] = i; }, \
     [](TsGeneralData& g, const TsGeneralData& p) { g.field[n] = p.field[n]; }}
#define KV_GRAD_KEY(key, def, text, array) \
    {key, true, 0, def, [](TsGeneralData& g, int, const UnicodeString& s) { SetGradient(g.text, g.array, s); }, \
     [](TsGeneralData& g, const TsGeneralData& p) { g.text = p.text; g.array = p.array; }}

const TsSectionKey SectionKeys[] = {
    KV_RGB_KEY(s_Color, 0xFFFFFF, Color),
    KV_BOOL_KEY(s_ReservedBoolean, L"FALSE", ReservedBoolean),
    KV_BOOL_KEY(s_GiveOwnFont, L"FALSE", GiveOwnFont),
    KV_INT_KEY(s_Glow, 0, GlowCount),
    KV_BOUND_KEY(s_GlowMargin, 0, GlowMargin, 0, kvMaxSkinGlow),
    KV_FONT_KEY(s_FontColor, 0, FontColor, 1),
    KV_FONT_KEY(s_TcLeft, -1, FontColor, 2),
    KV_FONT_KEY(s_TcTop, -1, FontColor, 3),
    KV_FONT_KEY(s_TcRight, -1, FontColor, 4),
    KV_FONT_KEY(s_TcBottom, -1, FontColor, 5),
    KV_FONT_KEY(s_HotFontColor, 0, HotFontColor, 1),
    KV_FONT_KEY(s_HotTcLeft, -1, HotFontColor, 2),
    KV_FONT_KEY(s_HotTcTop, -1, HotFontColor, 3),
    KV_FONT_KEY(s_HotTcRight, -1, HotFontColor, 4),
    KV_FONT_KEY(s_HotTcBottom, -1, HotFontColor, 5),
    KV_INT_KEY(s_Transparency, 0, Transparency),
    KV_INT_KEY(s_GradientPercent, 0, GradientPercent),
    KV_INT_KEY(s_ImagePercent, 0, ImagePercent),
    KV_GRAD_KEY(s_GradientData, L" ", GradientData, GradientArray),
    KV_BOOL_KEY(s_ShowFocus, L"FALSE", ShowFocus),
    KV_BOOL_KEY(s_FadingEnabled, L"FALSE", FadingEnabled),
    KV_BOUND_KEY(s_FadingIterations, 5, FadingIterations, 0, kvMaxFadeIterations),
    KV_INT_KEY(s_HotColor, 0xFFFFFF, HotColor),
    KV_INT_KEY(s_HotTransparency, 0, HotTransparency),
    KV_INT_KEY(s_HotGradientPercent, 0, HotGradientPercent),
    KV_GRAD_KEY(s_HotGradientData, L"", HotGradientData, HotGradientArray),
    KV_INT_KEY(s_HotImagePercent, 0, HotImagePercent),
    KV_RGB_KEY(s_Hgcol, 0xFFFFFF, HotGlowColor),
    KV_BOUND_KEY(s_Hgsize, 0, HotGlowSize, 0, kvMaxSkinGlow),
    KV_RGB_KEY(s_Gcol, 0xFFFFFF, GlowColor),
    KV_BOUND_KEY(s_Gsize, 0, GlowSize, 0, kvMaxSkinGlow),
};

#undef KV_INT_KEY
#undef KV_RGB_KEY
#undef KV_BYTE_KEY
#undef KV_BOUND_KEY
#undef KV_BOOL_KEY
#undef KV_FONT_KEY
#undef KV_GRAD_KEY

void SetDefault(TsGeneralData& g, const TsSectionKey& k)
{
    k.Set(g, k.IntDefault, k.TextDefault);
}

// The section of the global values, made once rather than on every read.
const UnicodeString& GlobalSection()
{
    static const UnicodeString name = s_GlobalInfo;
    return name;
}

// A decimal-text key: unreadable text raises, as a damaged skin should.
int16_t TextNumber(TCustomIniFile* Ini, const wchar_t* Key, const wchar_t* Default)
{
    const UnicodeString v = Ini->ReadString(GlobalSection(), Key, Default);
    try {
        return ClampTo<int16_t>(StrToInt(v));
    } catch (const EConvertError& e) {
        throw EConvertError(UnicodeString(L"Skin section GLOBALINFO, key ") + Key + L": " + QuotedValue(e.Message()));
    }
}

int16_t IntNumber(TCustomIniFile* Ini, const wchar_t* Key, int Default)
{
    return ClampTo<int16_t>(Ini->ReadInteger(GlobalSection(), Key, Default));
}

// A size within [-Bound, Bound] (Low: the smallest instead).
int16_t SizeNumber(int Value, int Bound, int Low = 0)
{
    return int16_t(BoundTo(Value, Low, Bound));
}

// "main left top right bottom"; any other text gives 0 and four times -1.
void ParseFontColors(const UnicodeString& Text, TsFontColors& Colors)
{
    const TsCharSet blank{L' '};
    int values[5];
    bool ok = WordCount(Text, blank) == 5;
    for (int i = 0; ok && i < 5; ++i)
        ok = TryStrToInt(ExtractWord(i + 1, Text, blank), values[i]);
    for (int i = 0; i < 5; ++i)
        Colors[i + 1] = ok ? values[i] : (i == 0 ? 0 : -1);
}

} // namespace

void TsSkinLoader::LoadAllGeneralData()
{
    if (FSource.SkinFile) {
        ReadGlobals();
        FTarget.CheckVersion(FSkin.SkinData->Version);
        AddDescriptionSections();
    } else if (FSource.Stored) {
        ReadStoredGlobals();
        FTarget.CheckVersion(FSkin.SkinData->Version);
        AddStoredSections();
    } else {
        return;
    }
    AddCommonSections();
    InitMaskIndexes();
    ChangeSkinHue(&FSkin, FSettings.HueOffset);
    ChangeSkinSaturation(&FSkin, FSettings.Saturation);
}

void TsSkinLoader::ReadGlobals()
{
    TCustomIniFile* ini = FSource.SkinFile;
    TsSkinData& d = *FSkin.SkinData;
    TFormatSettings point = FormatSettings;
    point.DecimalSeparator = L'.';
    Extended version = 0;
    d.Version = TryStrToFloat(ini->ReadString(GlobalSection(), s_Version, L"0"), version, point) ? double(version) : 0;
    d.Author = ini->ReadString(GlobalSection(), s_Author, UnicodeString());
    d.Description = ini->ReadString(GlobalSection(), s_Description, UnicodeString());
    d.ExBorderWidth = SizeNumber(IntNumber(ini, s_BorderWidth, 4), kvMaxSkinBorder);
    d.ExTitleHeight = SizeNumber(IntNumber(ini, s_TitleHeight, 30), kvMaxSkinTitle);
    d.ExMaxHeight = SizeNumber(IntNumber(ini, s_MaxHeight, 0), kvMaxSkinTitle);
    if (d.ExMaxHeight == 0)
        d.ExMaxHeight = d.ExTitleHeight;
    d.ExContentOffs = SizeNumber(IntNumber(ini, s_FormOffset, 8), kvMaxSkinBorder, -kvMaxSkinBorder);
    d.ExCenterOffs = SizeNumber(IntNumber(ini, s_CenterOffset, 0), kvMaxSkinTitle, -kvMaxSkinTitle);
    d.ExDrawMode = IntNumber(ini, s_BorderMode, 0);
    d.Shadow1Color = ini->ReadInteger(GlobalSection(), s_Shadow1Color, 0);
    d.Shadow1Offset = SizeNumber(TextNumber(ini, s_Shadow1Offset, L"0"), kvMaxSkinGlow, -kvMaxSkinGlow);
    d.Shadow1Blur = SizeNumber(TextNumber(ini, s_Shadow1Blur, L"-1"), kvMaxSkinGlow, -1);
    d.Shadow1Transparency = TextNumber(ini, s_Shadow1Transparency, L"0");
    d.BISpacing = SizeNumber(IntNumber(ini, s_BiSpace, 0), kvMaxSkinBorder, -kvMaxSkinBorder);
    d.BIVAlign = SizeNumber(IntNumber(ini, s_BiValign, 0), kvMaxSkinBorder, -kvMaxSkinBorder);
    d.BIRightMargin = SizeNumber(IntNumber(ini, s_BiRight, 0), kvMaxSkinBorder, -kvMaxSkinBorder);
    d.BILeftMargin = SizeNumber(IntNumber(ini, s_BiLeft, 0), kvMaxSkinBorder, -kvMaxSkinBorder);
    d.BorderColor = ini->ReadInteger(GlobalSection(), s_BorderColor, 0);
    d.BIKeepHUE = IntNumber(ini, s_BiKeepHue, 0);
    d.BICloseGlow = TextNumber(ini, s_BiconCloseGlow, L"0");
    d.BICloseGlowMargin = SizeNumber(TextNumber(ini, s_BiconCloseGlowMargin, L"0"), kvMaxSkinGlow);
    d.BIMaxGlow = TextNumber(ini, s_BiconMaxGlow, L"0");
    d.BIMaxGlowMargin = SizeNumber(TextNumber(ini, s_BiconMaxGlowMargin, L"0"), kvMaxSkinGlow);
    d.BIMinGlow = TextNumber(ini, s_BiconMinGlow, L"0");
    d.BIMinGlowMargin = SizeNumber(TextNumber(ini, s_BiconMinGlowMargin, L"0"), kvMaxSkinGlow);
}

void TsSkinLoader::ReadStoredGlobals()
{
    const TsStoredSkin& s = *FSource.Stored;
    TsSkinData& d = *FSkin.SkinData;
    d.Version = s.FVersion;
    d.Author = s.FAuthor;
    d.Description = s.FDescription;
    d.Shadow1Color = s.FShadow1Color;
    d.Shadow1Offset = SizeNumber(s.FShadow1Offset, kvMaxSkinGlow, -kvMaxSkinGlow);
    d.Shadow1Blur = SizeNumber(s.FShadow1Blur, kvMaxSkinGlow, -1);
    d.Shadow1Transparency = ClampTo<int16_t>(s.FShadow1Transparency);
    d.BorderColor = s.FBorderColor;
}

namespace {

// The description's sections with the values of SectionKeys and PARENTCLASS
// held by the key's position: every section reads every key up its parent
// chain, and by name each read would cost a search per step.  The values
// stay in the entries they are read from.
class TsSectionSlots {
public:
    static constexpr size_t ParentSlot = std::size(SectionKeys);
    struct TSection {
        const UnicodeString* Values[ParentSlot + 1] = {};
        const TSection* Parent = nullptr;
    };

    explicit TsSectionSlots(const TsDescriptionEntries& Entries);
    // The section of that name (in any case); nullptr when it has no keys.
    const TSection* Find(const UnicodeString& Section) const;
    // The first value of Slot from s up its chain that Accept takes; nullptr
    // when none.  A cycle of parents ends by the step count, as a chain
    // without one cannot have more steps than there are sections.
    template <class Accept>
    const UnicodeString* Lookup(const TSection* s, size_t Slot, Accept accept) const
    {
        for (size_t steps = 0; s && steps <= FIndex.size(); s = s->Parent, ++steps)
            if (const UnicodeString* v = s->Values[Slot]; v && accept(*v))
                return v;
        return nullptr;
    }

private:
    // The index's nodes come from one block; its names are views of the
    // description's text, or of FUpper for those with small letters.
    std::pmr::monotonic_buffer_resource FPool;
    std::deque<UnicodeString> FUpper;
    // Upper-cased section name -> its values; sections of equal names are
    // one, the first value of a key counting, as in TsSkinDescription.
    std::pmr::unordered_map<std::wstring_view, TSection> FIndex;
};

// A view of S upper-cased (a-z): S itself when it has no small letters
// (names mostly have none), else Buffer.
std::wstring_view UpperView(std::wstring_view S, UnicodeString& Buffer)
{
    if (std::none_of(S.begin(), S.end(), [](wchar_t c) { return c >= L'a' && c <= L'z'; }))
        return S;
    Buffer = UpperCase(UnicodeString(S));
    return Buffer;
}

// Upper-cased key name -> its slot, made once.
const std::unordered_map<std::wstring_view, size_t>& SlotOfKey()
{
    static const std::deque<UnicodeString> names = [] {
        std::deque<UnicodeString> n;
        for (const TsSectionKey& k : SectionKeys)
            n.push_back(UpperCase(k.Key));
        n.push_back(UpperCase(s_ParentClass));
        return n;
    }();
    static const std::unordered_map<std::wstring_view, size_t> slots = [] {
        std::unordered_map<std::wstring_view, size_t> m;
        for (size_t n = 0; n < names.size(); ++n)
            m.emplace(names[n], n);
        return m;
    }();
    return slots;
}

TsSectionSlots::TsSectionSlots(const TsDescriptionEntries& Entries)
    : FPool((sizeof(TSection) + 64) * std::max<size_t>(Entries.Items.size() / 4, 8)), FIndex(&FPool)
{
    const std::unordered_map<std::wstring_view, size_t>& slots = SlotOfKey();
    // Entries come section by section: a section is looked up once per run
    // of its keys.
    std::wstring_view lastSection;
    TSection* section = nullptr;
    UnicodeString buffer;
    for (const TsDescriptionEntry& e : Entries) {
        if (!section || e.Section != lastSection) {
            std::wstring_view name = UpperView(e.Section, buffer);
            auto it = FIndex.find(name);
            if (it == FIndex.end()) {
                if (name.data() == buffer.data())
                    name = FUpper.emplace_back(buffer);
                it = FIndex.try_emplace(name).first;
            }
            section = &it->second;
            lastSection = e.Section;
        }
        if (!e.HasValue)
            continue;
        const auto slot = slots.find(UpperView(e.Key, buffer));
        if (slot != slots.end() && !section->Values[slot->second])
            section->Values[slot->second] = &e.Value;
    }
    for (auto& [name, s] : FIndex) {
        const UnicodeString* parent = s.Values[ParentSlot];
        if (parent && !parent->empty() && *parent != L"?")
            s.Parent = Find(*parent);
    }
}

const TsSectionSlots::TSection* TsSectionSlots::Find(const UnicodeString& Section) const
{
    UnicodeString buffer;
    const auto it = FIndex.find(UpperView(Section, buffer));
    return it == FIndex.end() ? nullptr : &it->second;
}

// One gd entry of Section, its keys read up its parent chain.
void AddDescriptionSection(TsGeneralDataArray& Gd, const TsSectionSlots& Slots, const UnicodeString& Section)
{
    const TsSectionSlots::TSection* own = Slots.Find(Section);
    TsGeneralData g;
    g.ClassName = Section;
    if (own && own->Values[TsSectionSlots::ParentSlot])
        g.ParentClass = *own->Values[TsSectionSlots::ParentSlot];
    for (size_t n = 0; n < std::size(SectionKeys); ++n) {
        const TsSectionKey& k = SectionKeys[n];
        try {
            if (k.Text) {
                const UnicodeString* v = Slots.Lookup(own, n, [](const UnicodeString& t) { return t != L"?"; });
                if (v)
                    k.Set(g, 0, *v);
                else
                    k.Set(g, 0, k.TextDefault);
            } else {
                // -1 (written, or text that is no number) counts as missing.
                int value = k.IntDefault;
                Slots.Lookup(own, n, [&value](const UnicodeString& t) {
                    const int v = DescriptionInteger(t);
                    if (v != -1)
                        value = v;
                    return v != -1;
                });
                k.Set(g, value, UnicodeString());
            }
        } catch (const EConvertError& e) {
            throw EConvertError(L"Skin section " + QuotedValue(Section) + L", key " + k.Key + L": " +
                                QuotedValue(e.Message()));
        }
    }
    Gd.push_back(std::move(g));
}

} // namespace

void TsSkinLoader::AddDescriptionSections()
{
    const TsSectionSlots slots(Entries());
    FSkin.gd.clear();
    // A description in memory is walked in place, without a list of its
    // section names.
    if (auto* mem = dynamic_cast<TMemIniFile*>(FSource.SkinFile)) {
        size_t count = 0;
        mem->ForEachSection([&count](const UnicodeString&, const std::vector<std::wstring_view>&) { ++count; });
        FSkin.gd.reserve(count);
        mem->ForEachSection([&](const UnicodeString& Section, const std::vector<std::wstring_view>&) {
            AddDescriptionSection(FSkin.gd, slots, Section);
        });
        return;
    }
    std::unique_ptr<TStringList> sections(new TStringList);
    FSource.SkinFile->ReadSections(sections.get());
    FSkin.gd.reserve(static_cast<size_t>(sections->Count()));
    for (int i = 0; i < sections->Count(); ++i)
        AddDescriptionSection(FSkin.gd, slots, sections->Strings(i));
}

void TsSkinLoader::AddStoredSections()
{
    TsSkinGenerals* sections = FSource.Stored->GeneralData();
    for (int i = 0; i < sections->Count(); ++i) {
        const TsSkinGeneral& s = *sections->GetItem(i);
        TsGeneralData g;
        g.ClassName = s.FSectionName;
        g.ParentClass = s.FParentClass;
        g.Color = s.FColor;
        g.ReservedBoolean = s.FReservedBoolean;
        g.GiveOwnFont = s.FGiveOwnFont;
        g.GlowCount = s.FGlowCount;
        g.GlowMargin = BoundTo(s.FGlowMargin, 0, kvMaxSkinGlow);
        ParseFontColors(s.FFontColor, g.FontColor);
        ParseFontColors(s.FHotFontColor, g.HotFontColor);
        g.Transparency = s.FTransparency;
        g.GradientPercent = s.FGradientPercent;
        g.ImagePercent = s.FImagePercent;
        g.GradientData = s.FGradientData;
        PrepareGradArray(g.GradientData, g.GradientArray);
        g.ShowFocus = s.FShowFocus;
        g.FadingEnabled = s.FFadingEnabled;
        g.FadingIterations = BoundTo(s.FFadingIterations, 0, kvMaxFadeIterations);
        g.HotColor = s.FHotColor;
        g.HotTransparency = s.FHotTransparency;
        g.HotGradientPercent = s.FHotGradientPercent;
        g.HotGradientData = s.FHotGradientData;
        PrepareGradArray(g.HotGradientData, g.HotGradientArray);
        g.HotImagePercent = s.FHotImagePercent;
        g.HotGlowColor = s.FHotGlowColor;
        g.GlowColor = s.FGlowColor;
        g.HotGlowSize = static_cast<uint8_t>(BoundTo(s.FHotGlowSize, 0, kvMaxSkinGlow));
        g.GlowSize = static_cast<uint8_t>(BoundTo(s.FGlowSize, 0, kvMaxSkinGlow));
        FSkin.gd.push_back(std::move(g));
    }
}

void TsSkinLoader::AddCommonSections()
{
    TStrings* lines = FSettings.CommonSections;
    if (!lines || lines->Count() == 0)
        return;
    std::unique_ptr<TStringList> sections(new TStringList(true));
    GetIniSections(lines, sections.get());
    for (int i = 0; i < sections->Count(); ++i) {
        const UnicodeString section = sections->Strings(i);
        if (FSkin.GetSkinIndex(section) >= 0)
            continue;   // the skin's own section stays as it is
        TsGeneralData g;
        g.ClassName = section;
        g.ParentClass = AnsiUpperCase(ReadIniString(lines, sections.get(), section, s_ParentClass, L"-1"));
        const TsGeneralData* parent = nullptr;
        for (const TsGeneralData& p : FSkin.gd)
            if (AnsiUpperCase(p.ClassName) == g.ParentClass) {
                parent = &p;
                break;
            }
        for (const TsSectionKey& k : SectionKeys) {
            bool present;
            if (k.Text) {
                const UnicodeString v = ReadIniString(lines, sections.get(), section, k.Key, L"?");
                present = v != L"?";
                if (present)
                    k.Set(g, 0, v);
            } else {
                const int v = ReadIniInteger(lines, sections.get(), section, k.Key, -1);
                present = v != -1;
                if (present)
                    k.Set(g, v, UnicodeString());
            }
            if (!present) {
                if (parent)
                    k.Copy(g, *parent);
                else
                    SetDefault(g, k);
            }
        }
        FSkin.gd.push_back(std::move(g));
    }
}

void TsSkinLoader::InitMaskIndexes()
{
    const TsTableIndex tables(FSkin);
    for (size_t i = 0; i < FSkin.gd.size(); ++i) {
        TsGeneralData& g = FSkin.gd[i];
        if (g.ClassName == s_GlobalInfo)
            continue;
        const int index = static_cast<int>(i);
        g.BorderIndex = tables.MaskIndex(index, g.ClassName, s_BordersMask);
        g.ImgTL = tables.MaskIndex(index, g.ClassName, s_ImgTopLeft);
        g.ImgTR = tables.MaskIndex(index, g.ClassName, s_ImgTopRight);
        g.ImgBL = tables.MaskIndex(index, g.ClassName, s_ImgBtmLeft);
        g.ImgBR = tables.MaskIndex(index, g.ClassName, s_ImgBtmRight);
    }
}
