// The reader of form resources: applies a parsed form (FormParser.h) to a
// root component, creating the children through the class registry.
//
// Order of events, as components rely on it:
//  - the root gets csLoading and csReading, then its name through the
//    virtual SetName;
//  - each child is created with the root as owner (its AfterConstruction has
//    run), gets csLoading, its name, csReading, SetParentComponent(enclosing
//    object), then ReadState, which sets its properties in stored order and
//    reads its own children;
//  - when every resource is read: component references are resolved,
//    csReading is cleared on all, and Loaded is called on each, the root
//    first, then the others in reading order.
// Errors raise EReadError (EClassNotFound for an unknown class) whose
// message names the component, the property and the line.
#pragma once

#include <vector>

#include "classlib/rtl/Classes.h"
#include "classlib/streaming/FormParser.h"

struct TPropInfo;

class TFormReader : public TReader {
    KV_CLASS(TFormReader)
public:
    explicit TFormReader(TComponent* Root);
    ~TFormReader() override;

    // Applies one form to the root.  Several forms may be applied in turn
    // (an ancestor's, then the descendant's); Finish ends the reading.
    void ReadRoot(const TFormObject& Form);
    // Resolves references, clears csReading and calls Loaded.
    void Finish();
    // Clears the reading state after a failure, without calling Loaded.
    void Abandon();

    // TReader
    void ReadData(TComponent* Instance) override;
    void DefineProperty(const UnicodeString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
    void DefineBinaryProperty(const UnicodeString& Name, TStreamProc ReadData, TStreamProc WriteData,
                              bool HasData) override;
    int32_t ReadInteger() override;
    int64_t ReadInt64() override;
    bool ReadBoolean() override;
    double ReadFloat() override;
    UnicodeString ReadString() override;
    UnicodeString ReadIdent() override;
    void ReadListBegin() override;
    void ReadListEnd() override;
    bool EndOfList() override;

private:
    struct Fixup {
        TObject* Instance;
        const TPropInfo* Prop;
        UnicodeString Target;
        UnicodeString Where;
        int Line;
        // The collection items being read when the reference was met: a
        // collection read again frees them, and the reference with them.
        std::vector<TCollectionItem*> Items;
    };
    // Cursor over a value for DefineProperty read procedures.
    struct Cursor {
        const TFormValue* Value;
        size_t Index; // next element when inside a list
        bool InList;
        bool Consumed;
    };
    // The stored property that DefineProperties calls are matched against.
    struct DefMatch {
        UnicodeString Name;
        UnicodeString Where;
        const TFormValue* Value = nullptr;
        bool Found = false;
    };

    void ReadComponent(const TFormObject& Node);
    void ReadProperties(TObject* Instance, const std::vector<TFormProperty>& Props, const UnicodeString& Where);
    void ReadProperty(TObject* Instance, const TFormProperty& Prop, const UnicodeString& Where);
    struct PropWrite;
    void SetValue(TObject* Instance, const UnicodeString& Name, const TFormValue& Value, const UnicodeString& Where);
    void SetObjectValue(const PropWrite& W);
    void SetMethodValue(const PropWrite& W);
    bool ReadDefined(TObject* Instance, const UnicodeString& Name, const TFormValue& Value, const UnicodeString& Where);
    void ReadCollection(TCollection* Collection, const TFormValue& Value, const UnicodeString& Where);
    void DropFixupsIn(TCollection* Collection);
    void AddLoaded(TComponent* Component);
    const TFormValue& NextValue();
    [[noreturn]] void WrongValue(const TFormValue& Value, const wchar_t* Expected) const;
    [[noreturn]] void Error(const UnicodeString& Where, const UnicodeString& Msg, int Line) const;

    std::vector<TComponent*> FLoaded;
    std::vector<Fixup> FFixups;
    std::vector<TCollectionItem*> FItems; // collection items being read, outermost first
    std::vector<UnicodeString> FRootNames; // as stored, whatever SetName kept
    const TFormObject* FNode = nullptr;
    DefMatch FDef;
    std::vector<Cursor> FCursors;
};

// Reads the form text in Text (UTF-16) or Utf8 onto Root (the root is made
// from the registered class when Root is nullptr); Loaded is called.
TComponent* ReadComponentFromText(const UnicodeString& Text, TComponent* Root);
TComponent* ReadComponentFromUtf8(const std::string& Utf8, TComponent* Root);
// Whether the running module holds an RCDATA resource of that name.
bool FormResourceExists(const UnicodeString& ResName);
