#include "TestComponents.h"

#include <set>

#include "classlib/rtl/Streams.h"

std::vector<std::wstring> gLog;

namespace {
std::wstring Flags(TComponent* c)
{
    return c->ComponentState().Contains(csLoading) && c->ComponentState().Contains(csReading) ? L" R" : L"";
}
} // namespace

// --- TTestSub
KV_BEGIN_PUBLISHED(TTestSub, TPersistent)
    B.Str(L"Name", &C::Name, &C::SetName);
    B.Int(L"Size", &C::Size, &C::SetSize, 8);
KV_END_PUBLISHED

void TTestSub::SetName(const UnicodeString& v)
{
    FName = v;
    gLog.push_back(L"Sub.Name=" + v);
}

void TTestSub::SetSize(int v)
{
    FSize = v;
    gLog.push_back(L"Sub.Size=" + std::to_wstring(v));
}

// --- TTestItem
KV_BEGIN_PUBLISHED(TTestItem, TCollectionItem)
    B.Str(L"Caption", &C::FCaption, &C::FCaption);
    B.Int(L"Value", &C::FValue, &C::FValue);
    B.Ref(L"Link", &C::Link, &C::SetLink);
KV_END_PUBLISHED

namespace {
std::set<const TTestItem*>& LiveItems()
{
    static std::set<const TTestItem*> items;
    return items;
}
} // namespace

TTestItem::TTestItem(TCollection* Collection) : TCollectionItem(Collection)
{
    LiveItems().insert(this);
}

TTestItem::~TTestItem()
{
    LiveItems().erase(this);
}

void TTestItem::SetLink(TTestComp* v)
{
    if (!LiveItems().count(this)) {
        gLog.push_back(L"Item.Link set on a freed item");
        return;
    }
    FLink = v;
    gLog.push_back(L"Item" + std::to_wstring(Index()) + L".Link=" + (v ? v->Name() : UnicodeString(L"nil")));
}

void TTestItem::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(L"Data", TStreamProc(this, &TTestItem::ReadData), TStreamProc(), !FData.empty());
}

void TTestItem::ReadData(TStream* S)
{
    FData.resize(static_cast<size_t>(S->Size()));
    if (!FData.empty())
        S->ReadBuffer(FData.data(), static_cast<int32_t>(FData.size()));
}

// --- TTestComp
namespace {
bool TestColorIdent(const UnicodeString& Ident, int64_t& Value)
{
    if (Ident == L"clTestRed") {
        Value = 0x0000FF;
        return true;
    }
    return false;
}
} // namespace

KV_BEGIN_PUBLISHED(TTestComp, TComponent)
    B.Int(L"Width", &C::Width, &C::SetWidth, 0);
    B.Str(L"Caption", &C::Caption, &C::SetCaption);
    B.Enum(L"Align", &C::Align, &C::SetAlign, taNone, {L"taNone", L"taTop", L"taClient"}, L"TTestAlign");
    B.Set(L"Options", &C::Options, &C::SetOptions, 0, {L"toFirst", L"toSecond", L"toThird"}, L"TTestOptions");
    B.Bool(L"Flag", &C::Flag, &C::SetFlag, false);
    B.Float(L"Ratio", &C::Ratio, &C::SetRatio);
    B.Char(L"Ch", &C::Ch, &C::SetCh);
    B.Int(L"Color", &C::Color, &C::SetColor, 0, L"TTestColor");
    B.Object(L"Sub", &C::Sub);
    B.Object(L"Items", &C::Items);
    B.Object(L"Lines", &C::Lines);
    B.Ref(L"Link", &C::Link, &C::SetLink);
    B.Event(L"OnClick", &C::OnClick);
    B.Event(L"OnCount", &C::OnCount);
KV_END_PUBLISHED

TTestComp::TTestComp(TComponent* AOwner) : TComponent(AOwner)
{
    FSub = New<TTestSub>();
    FItems = New<TOwnedCollection>(this, TCollectionItemClass::Of<TTestItem>());
    FLines = New<TStringList>();
    RegisterIntegerConsts(L"TTestColor", TestColorIdent, nullptr);
}

TTestComp::~TTestComp()
{
    delete FSub;
    delete FItems;
    delete FLines;
}

void TTestComp::Log(const std::wstring& What)
{
    gLog.push_back((Name().empty() ? ClassName() : Name()) + L"." + What + Flags(this));
}

void TTestComp::AfterConstruction()
{
    TComponent::AfterConstruction();
    gLog.push_back(ClassName() + L".AfterConstruction");
}

void TTestComp::Loaded()
{
    TComponent::Loaded();
    Log(L"Loaded");
}

void TTestComp::SetParentComponent(TComponent* Value)
{
    FParentComp = Value;
    Log(L"Parent=" + (Value ? Value->Name() : UnicodeString(L"nil")));
}

void TTestComp::DefineProperties(TFiler* Filer)
{
    Filer->DefineBinaryProperty(L"Data", TStreamProc(this, &TTestComp::ReadData), TStreamProc(), !FData.empty());
    Filer->DefineProperty(L"Values", TReaderProc(this, &TTestComp::ReadValues), TWriterProc(), !FValues.empty());
}

void TTestComp::ReadData(TStream* S)
{
    FData.resize(static_cast<size_t>(S->Size()));
    if (!FData.empty())
        S->ReadBuffer(FData.data(), static_cast<int32_t>(FData.size()));
    Log(L"Data[" + std::to_wstring(FData.size()) + L"]");
}

void TTestComp::ReadValues(TReader* R)
{
    R->ReadListBegin();
    while (!R->EndOfList())
        FValues.push_back(R->ReadString());
    R->ReadListEnd();
}

void TTestComp::SetWidth(int v) { FWidth = v; Log(L"Width=" + std::to_wstring(v)); }
void TTestComp::SetCaption(const UnicodeString& v) { FCaption = v; Log(L"Caption=" + v); }
void TTestComp::SetAlign(TTestAlign v) { FAlign = v; Log(L"Align=" + std::to_wstring(int(v))); }
void TTestComp::SetOptions(TTestOptions v) { FOptions = v; Log(L"Options=" + std::to_wstring(v.Ord())); }
void TTestComp::SetFlag(bool v) { FFlag = v; Log(L"Flag=" + std::to_wstring(int(v))); }
void TTestComp::SetRatio(double v) { FRatio = v; Log(L"Ratio"); }
void TTestComp::SetCh(wchar_t v) { FCh = v; Log(L"Ch"); }
void TTestComp::SetColor(int v) { FColor = v; Log(L"Color=" + std::to_wstring(v)); }
void TTestComp::SetLink(TTestComp* v) { FLink = v; Log(L"Link=" + (v ? v->Name() : UnicodeString(L"nil"))); }

// --- TTestForm
KV_BEGIN_PUBLISHED(TTestForm, TTestComp)
    B.Method(L"ButtonClick", &C::ButtonClick);
    B.Method(L"Counted", &C::Counted);
KV_END_PUBLISHED

void TTestForm::SetName(const UnicodeString& NewName)
{
    gLog.push_back(L"Form.SetName=" + NewName + Flags(this));
    TTestComp::SetName(NewName);
}

void TTestForm::ButtonClick(TObject* Sender) { FClickSender = Sender; }
void TTestForm::Counted(int Value) { FCounted = Value; }

// --- TFailingComp
KV_BEGIN_PUBLISHED(TFailingComp, TTestComp)
    B.Int(L"Boom", &C::Boom, &C::SetBoom);
    B.Bool(L"FailLoaded", &C::FFailLoaded, &C::FFailLoaded);
KV_END_PUBLISHED

void TFailingComp::SetBoom(int v)
{
    throw EConvertError(L"boom " + std::to_wstring(v));
}

void TFailingComp::Loaded()
{
    if (FFailLoaded)
        throw EConvertError(L"Loaded failed");
    TTestComp::Loaded();
}

void RegisterTestClasses()
{
    RegisterClasses<TTestComp, TTestForm, TFailingComp>();
}
