// Component classes for the streaming tests: every setter and Loaded call is
// written to one log, with " R" appended when the component has both
// csLoading and csReading at that moment.
#pragma once

#include <string>
#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/rtl/Lists.h"
#include "classlib/rtl/TypInfo.h"

extern std::vector<std::wstring> gLog;

enum TTestAlign { taNone, taTop, taClient };
enum TTestOption { toFirst, toSecond, toThird };
using TTestOptions = TSet<TTestOption>;
using TIntEvent = TMethod<void(int Value)>;

// An owned sub-object filled in place.
class TTestSub : public TPersistent {
    KV_CLASS(TTestSub)
    KV_PUBLISHED
public:
    UnicodeString FName;
    int FSize = 8;
    const UnicodeString& Name() const { return FName; }
    void SetName(const UnicodeString& v);
    int Size() const { return FSize; }
    void SetSize(int v);
};

class TTestComp;

// Knows which items are alive, so that a reference set on a freed item
// shows in the log instead of passing unseen.
class TTestItem : public TCollectionItem {
    KV_CLASS(TTestItem)
    KV_PUBLISHED
public:
    explicit TTestItem(TCollection* Collection);
    ~TTestItem() override;
    UnicodeString FCaption;
    int FValue = 0;
    std::vector<uint8_t> FData;
    TTestComp* FLink = nullptr;
    TTestComp* Link() const { return FLink; }
    void SetLink(TTestComp* v);
    void DefineProperties(TFiler* Filer) override;
    void ReadData(TStream* S);
};

class TTestComp : public TComponent {
    KV_CLASS(TTestComp)
    KV_PUBLISHED
public:
    explicit TTestComp(TComponent* AOwner);
    ~TTestComp() override;
    void AfterConstruction() override;
    void Loaded() override;
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override { return FParentComp; }
    bool HasParent() const override { return true; }
    void DefineProperties(TFiler* Filer) override;

    int Width() const { return FWidth; }
    void SetWidth(int v);
    const UnicodeString& Caption() const { return FCaption; }
    void SetCaption(const UnicodeString& v);
    TTestAlign Align() const { return FAlign; }
    void SetAlign(TTestAlign v);
    TTestOptions Options() const { return FOptions; }
    void SetOptions(TTestOptions v);
    bool Flag() const { return FFlag; }
    void SetFlag(bool v);
    double Ratio() const { return FRatio; }
    void SetRatio(double v);
    wchar_t Ch() const { return FCh; }
    void SetCh(wchar_t v);
    TTestSub* Sub() const { return FSub; }
    TCollection* Items() const { return FItems; }
    TStringList* Lines() const { return FLines; }
    TTestComp* Link() const { return FLink; }
    void SetLink(TTestComp* v);
    int Color() const { return FColor; }
    void SetColor(int v);
    void ReadData(TStream* S);
    void ReadValues(TReader* R);

    int FWidth = 0;
    UnicodeString FCaption;
    TTestAlign FAlign = taNone;
    TTestOptions FOptions;
    bool FFlag = false;
    double FRatio = 0;
    wchar_t FCh = 0;
    int FColor = 0;
    TTestSub* FSub;
    TCollection* FItems;
    TStringList* FLines;
    TTestComp* FLink = nullptr;
    TComponent* FParentComp = nullptr;
    std::vector<uint8_t> FData;
    std::vector<std::wstring> FValues; // from the "Values" list property
    TNotifyEvent OnClick;
    TIntEvent OnCount;

protected:
    void Log(const std::wstring& What);
};

// A form: publishes its handlers and records SetName.
class TTestForm : public TTestComp {
    KV_CLASS(TTestForm)
    KV_PUBLISHED
public:
    using TTestComp::TTestComp;
    void SetName(const UnicodeString& NewName) override;
    void ButtonClick(TObject* Sender);
    void Counted(int Value);
    TObject* FClickSender = nullptr;
    int FCounted = 0;
};

// A component whose setter fails, for error paths.
class TFailingComp : public TTestComp {
    KV_CLASS(TFailingComp)
    KV_PUBLISHED
public:
    using TTestComp::TTestComp;
    void SetBoom(int v);
    int Boom() const { return 0; }
    // When set, Loaded fails.
    bool FFailLoaded = false;
    void Loaded() override;
};

void RegisterTestClasses();
