#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>

#include "TestComponents.h"
#include "classlib/rtl/Streams.h"
#include "classlib/streaming/FormReader.h"

namespace {

struct ReaderTest : testing::Test {
    void SetUp() override
    {
        RegisterTestClasses();
        gLog.clear();
    }
    static size_t IndexOf(const std::wstring& Entry)
    {
        auto it = std::find(gLog.begin(), gLog.end(), Entry);
        return it == gLog.end() ? SIZE_MAX : size_t(it - gLog.begin());
    }
};

const char* const kForm = R"(object MainForm: TTestForm
  Caption = 'Main'
  Width = 800
  Sub.Name = 'Tahoma'
  Sub.Size = -11
  OnCount = Counted
  object Panel: TTestComp
    Align = taClient
    Options = [toFirst, toThird]
    Flag = True
    Link = Button
    Lines = ('x')
    object Button: TTestComp
      Caption = '열기' + ' ' + #50676#44592
      Ratio = 1.5
      Ch = 'x'
      Color = clTestRed
      OnClick = ButtonClick
      Values = (
        'one'
        'two' 'three')
      Data = {
        00FF10
        7F80}
    end
  end
  object List: TTestComp
    Lines.Strings = (
      'first'
      '#2' + #$D55C)
    Items = <
      item
        Caption = 'a'
        Value = 1
      end
      item
        Caption = 'b'
        Value = $10
        Data = {0102}
      end>
  end
end
)";

} // namespace

TEST_F(ReaderTest, ReadsComponentsPropertiesAndOrder)
{
    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    gLog.clear();
    ReadComponentFromUtf8(kForm, form.get());

    // Structure: everything owned by the root, parents from nesting.
    ASSERT_EQ(form->ComponentCount(), 3);
    auto* panel = dynamic_cast<TTestComp*>(form->FindComponent(L"Panel"));
    auto* button = dynamic_cast<TTestComp*>(form->FindComponent(L"Button"));
    auto* list = dynamic_cast<TTestComp*>(form->FindComponent(L"List"));
    ASSERT_TRUE(panel && button && list);
    EXPECT_EQ(button->Owner(), form.get());
    EXPECT_EQ(panel->FParentComp, form.get());
    EXPECT_EQ(button->FParentComp, panel);
    EXPECT_EQ(list->FParentComp, form.get());

    // Values of every kind.
    EXPECT_EQ(form->Name(), L"MainForm");
    EXPECT_EQ(form->Caption(), L"Main");
    EXPECT_EQ(form->Sub()->Name(), L"Tahoma");
    EXPECT_EQ(form->Sub()->Size(), -11);
    EXPECT_EQ(panel->Align(), taClient);
    EXPECT_EQ(panel->Options(), (TTestOptions{toFirst, toThird}));
    EXPECT_TRUE(panel->Flag());
    EXPECT_EQ(panel->Link(), button); // written before Button exists
    EXPECT_EQ(button->Caption(), L"\uC5F4\uAE30 \uC5F4\uAE30");
    EXPECT_DOUBLE_EQ(button->Ratio(), 1.5);
    EXPECT_EQ(button->Ch(), L'x');
    EXPECT_EQ(button->Color(), 0xFF);
    EXPECT_EQ(button->FValues, (std::vector<std::wstring>{L"one", L"two", L"three"}));
    EXPECT_EQ(button->FData, (std::vector<uint8_t>{0x00, 0xFF, 0x10, 0x7F, 0x80}));

    EXPECT_EQ(panel->Lines()->Text(), L"x\r\n");
    EXPECT_EQ(list->Lines()->Text(), L"first\r\n#2\uD55C\r\n");

    // Collection items made through Add, properties in order, binary data.
    ASSERT_EQ(list->Items()->Count(), 2);
    auto* item1 = dynamic_cast<TTestItem*>(list->Items()->Items(1));
    ASSERT_TRUE(item1);
    EXPECT_EQ(dynamic_cast<TTestItem*>(list->Items()->Items(0))->FCaption, L"a");
    EXPECT_EQ(item1->FValue, 16);
    EXPECT_EQ(item1->FData, (std::vector<uint8_t>{1, 2}));

    // Events bound to the root's published methods.
    ASSERT_TRUE(button->OnClick.Assigned());
    button->OnClick(button);
    EXPECT_EQ(form->FClickSender, button);
    form->OnCount(7);
    EXPECT_EQ(form->FCounted, 7);

    // Order: name through SetName while reading; setters in stored order
    // under csLoading+csReading; Loaded for all after everything, root first.
    EXPECT_EQ(gLog.front(), L"Form.SetName=MainForm R");
    EXPECT_LT(IndexOf(L"MainForm.Caption=Main R"), IndexOf(L"MainForm.Width=800 R"));
    EXPECT_LT(IndexOf(L"TTestComp.AfterConstruction"), IndexOf(L"Panel.Parent=MainForm R"));
    EXPECT_LT(IndexOf(L"Panel.Parent=MainForm R"), IndexOf(L"Panel.Align=2 R"));
    EXPECT_LT(IndexOf(L"Panel.Align=2 R"), IndexOf(L"Panel.Options=5 R"));
    EXPECT_LT(IndexOf(L"Button.Data[5] R"), IndexOf(L"Panel.Link=Button R"));
    std::vector<std::wstring> tail(gLog.end() - 4, gLog.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"MainForm.Loaded", L"Panel.Loaded", L"Button.Loaded", L"List.Loaded"}));
    for (TComponent* c : {static_cast<TComponent*>(form.get()), static_cast<TComponent*>(button)})
        EXPECT_TRUE(c->ComponentState().Empty());
}

TEST_F(ReaderTest, InheritedObjectsAndUnnamedComponents)
{
    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    ReadComponentFromText(L"object F: TTestForm\n object A: TTestComp\n Width = 1\n end\n end", form.get());
    ReadComponentFromText(L"inherited F: TTestForm\n inherited A: TTestComp\n Width = 2\n end\n"
                          L" object TTestComp\n Caption = 'anon'\n end\nend",
                          form.get());
    ASSERT_EQ(form->ComponentCount(), 2);
    EXPECT_EQ(dynamic_cast<TTestComp*>(form->FindComponent(L"A"))->Width(), 2);
    EXPECT_EQ(dynamic_cast<TTestComp*>(form->Components(1))->Caption(), L"anon");
}

TEST_F(ReaderTest, SecondFormOfAClassUnderOneOwnerGetsAUniqueName)
{
    std::unique_ptr<TComponent> owner(New<TComponent>(nullptr));
    TTestForm* a = New<TTestForm>(owner.get());
    TTestForm* b = New<TTestForm>(owner.get());
    ReadComponentFromText(L"object ChildForm: TTestForm\nend", a);
    ReadComponentFromText(L"object ChildForm: TTestForm\nend", b);
    EXPECT_EQ(a->Name(), L"ChildForm");
    EXPECT_EQ(b->Name(), L"ChildForm_1");
}

TEST_F(ReaderTest, CreatesRootFromRegisteredClassAndReadsStreams)
{
    TStringStream stream("\xEF\xBB\xBFobject X: TTestComp\r\n  Caption = 'it''s'#13#10\r\nend\r\n");
    std::unique_ptr<TComponent> root(ReadComponentResFromStream(&stream, nullptr));
    auto* comp = dynamic_cast<TTestComp*>(root.get());
    ASSERT_TRUE(comp);
    EXPECT_EQ(comp->Caption(), L"it's\r\n");
}

TEST_F(ReaderTest, BadResourcesRaiseClearErrors)
{
    struct Case {
        const char* Text;
        const wchar_t* Expected; // part of the message
    };
    const Case cases[] = {
        {"object F: TTestForm\n object X: TNoSuchClass\n end\nend", L"Class TNoSuchClass not found (line 2)"},
        {"object F: TTestForm\n  Foo = 1\nend", L"Error reading F.Foo: Property Foo does not exist (line 2)"},
        {"object F: TTestForm\n  Width = 'x'\nend", L"F.Width: Invalid property value"},
        {"object F: TTestForm\n  Width = 99999999999\nend", L"out of range"},
        {"object F: TTestForm\n  Align = taSideways\nend", L"Invalid property value taSideways"},
        {"object F: TTestForm\n  Options = [toFirst, toFourth]\nend", L"Invalid set element toFourth"},
        {"object F: TTestForm\n  Flag = Maybe\nend", L"F.Flag"},
        {"object F: TTestForm\n  OnClick = NoHandler\nend", L"Method NoHandler not found in TTestForm"},
        {"object F: TTestForm\n  OnClick = Counted\nend", L"Method Counted does not match the event type of OnClick"},
        {"object F: TTestForm\n  Link = Nobody\nend", L"F.Link: Component Nobody not found"},
        {"object F: TTestForm\n  Sub.Missing = 1\nend", L"F.Sub.Missing: Property Missing does not exist"},
        {"object F: TTestForm\n  Caption.X = 1\nend", L"Property Caption has no sub-properties"},
        {"object F: TTestForm\n  Data = 12\nend", L"binary data expected"},
        {"object F: TTestForm\n  Data = {0A1}\nend", L"odd number of hexadecimal digits"},
        {"object F: TTestForm\n  Data = {0AZZ}\nend", L"invalid character 'Z' in binary data"},
        {"object F: TTestForm\n  Caption = 'open\nend", L"unterminated string (line 2)"},
        {"object F: TTestForm\n  Width = \n", L"value missing"},
        {"object F: TTestForm\n  Width = 1\n", L"'end' missing for object F"},
        {"object F: TTestForm\n object A: TTestComp\n Width = 1\n", L"'end' missing for object A of line 2"},
        {"object F: TTestForm\n  Items = < item Value = 1 end\nend", L"'item' or '>' expected"},
        {"object F: TTestForm\n  Items = < item Nope = 1 end >\nend", L"F.Items[0].Nope: Property Nope does not exist"},
        {"object F: TTestForm\n  Values = ('a' 2)\nend", L"F.Values: Invalid property value: a string expected, found an integer"},
        {"object F: TTestForm\n  Lines = ('a' x)\nend", L"F.Lines.Strings: Invalid property value: a string expected, found an identifier (line 2)"},
        {"object F: TTestForm\n  Sub = ('a')\nend", L"Property Sub is not a string list"},
        {"object F: TTestForm\n object A: TTestComp\n end\n Width = 1\nend", L"after a child object"},
        {"object F: TTestForm\nend\nextra", L"unexpected text after the final 'end'"},
        {"thing F: TTestForm\nend", L"expected 'object', 'inherited' or 'inline'"},
        {"object F: TTestForm\n object A: TTestComp\n end\n object A: TTestComp\n end\nend",
         L"A component named A already exists (line 4)"},
        {"object F: TTestForm\n object 9: TTestComp\n end\nend", L"expected a name"},
        {"object F: TTestForm\n inherited Ghost: TTestComp\n end\nend", L"no inherited component named Ghost"},
        {"object F: TTestForm\n  Caption = 'bad \xC3('\nend", L"not valid UTF-8 (line 2)"},
        {"", L"expected a name"},
    };
    std::string deep = "object F: TTestForm\n  Values = " + std::string(5000, '(') + "\nend";
    std::vector<Case> all(std::begin(cases), std::end(cases));
    all.push_back(Case{deep.c_str(), L"nested too deeply"});
    for (const Case& c : all) {
        SCOPED_TRACE(std::string(c.Text).substr(0, 120));
        std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
        try {
            ReadComponentFromUtf8(c.Text, form.get());
            ADD_FAILURE() << "no error";
        } catch (const EStreamError& e) { // EReadError, or EClassNotFound
            EXPECT_NE(e.Message().find(c.Expected), UnicodeString::npos) << e.what();
        }
        // The root survives, out of the reading state.
        EXPECT_FALSE(form->ComponentState().Contains(csReading));
        EXPECT_FALSE(form->ComponentState().Contains(csLoading));
    }
}

TEST_F(ReaderTest, UnknownClassIsClassNotFound)
{
    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    EXPECT_THROW(ReadComponentFromText(L"object F: TTestForm\n object X: TNope\n end\nend", form.get()), EClassNotFound);
}

TEST_F(ReaderTest, FailingSetterFreesTheComponentAndPropagates)
{
    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    EXPECT_THROW(ReadComponentFromText(L"object F: TTestForm\n object Ok: TTestComp\n end\n"
                                       L" object Bad: TFailingComp\n Boom = 1\n end\nend",
                                       form.get()),
                 EConvertError);
    ASSERT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(form->Components(0)->Name(), L"Ok");
    EXPECT_TRUE(form->Components(0)->ComponentState().Empty());
}

TEST_F(ReaderTest, MissingResources)
{
    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    EXPECT_FALSE(FormResourceExists(L"TNOSUCHFORM"));
    EXPECT_THROW(ReadComponentRes(L"TNOSUCHFORM", form.get()), EReadError);
    EXPECT_FALSE(InitInheritedComponent(form.get(), L"TComponent"));
    EXPECT_TRUE(form->ComponentState().Empty());
}

namespace {
// Like a main window whose SetName shows the name instead of keeping it.
class TCaptionForm : public TTestForm {
    KV_CLASS(TCaptionForm)
public:
    using TTestForm::TTestForm;
    void SetName(const UnicodeString& NewName) override { FCaption = NewName; }
};
} // namespace

TEST_F(ReaderTest, RootKeepingNoNameIsStillFoundByReferences)
{
    std::unique_ptr<TCaptionForm> form(New<TCaptionForm>(nullptr));
    ReadComponentFromText(L"object PlayerForm: TCaptionForm\n"
                          L" object A: TTestComp\n  Link = PlayerForm\n end\nend",
                          form.get());
    EXPECT_EQ(form->Caption(), L"PlayerForm");
    EXPECT_EQ(form->Name(), L"");
    EXPECT_EQ(dynamic_cast<TTestComp*>(form->FindComponent(L"A"))->Link(), form.get());
}

TEST_F(ReaderTest, ACollectionReadAgainDropsTheReferencesOfItsOldItems)
{
    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    ReadComponentFromText(L"object F: TTestForm\n"
                          L"  Items = < item Link = A end item Link = A end >\n"
                          L"  Items = < item Value = 1 end item Link = F end >\n"
                          L"  object A: TTestComp\n  end\n"
                          L"end",
                          form.get());
    std::vector<std::wstring> links;
    std::copy_if(gLog.begin(), gLog.end(), std::back_inserter(links),
                 [](const std::wstring& e) { return e.find(L".Link") != std::wstring::npos; });
    EXPECT_EQ(links, (std::vector<std::wstring>{L"Item1.Link=F"}));
    ASSERT_EQ(form->Items()->Count(), 2);
    EXPECT_EQ(dynamic_cast<TTestItem*>(form->Items()->Items(0))->Link(), nullptr);
    EXPECT_EQ(dynamic_cast<TTestItem*>(form->Items()->Items(1))->Link(), form.get());
}

TEST_F(ReaderTest, AFailingLoadedLeavesNoComponentLoading)
{
    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    EXPECT_THROW(ReadComponentFromText(L"object F: TTestForm\n"
                                       L" object Bad: TFailingComp\n  FailLoaded = True\n end\n"
                                       L" object Later: TTestComp\n end\nend",
                                       form.get()),
                 EConvertError);
    ASSERT_EQ(form->ComponentCount(), 2);
    for (TComponent* c : {static_cast<TComponent*>(form.get()), form->Components(0), form->Components(1)}) {
        EXPECT_FALSE(c->ComponentState().Contains(csLoading)) << c->Name();
        EXPECT_FALSE(c->ComponentState().Contains(csReading)) << c->Name();
    }
}

TEST(FormParser, NumbersAtTheirLimits)
{
    struct Case {
        const wchar_t* Text;
        TFormValueKind Kind;
        int64_t Int;
        double Float;
        const wchar_t* Error; // part of the message, or nullptr
    };
    const Case cases[] = {
        {L"9223372036854775807", TFormValueKind::Integer, INT64_MAX, 0, nullptr},
        {L"-9223372036854775807", TFormValueKind::Integer, -INT64_MAX, 0, nullptr},
        {L"$FFFFFFFFFFFFFFFF", TFormValueKind::Integer, -1, 0, nullptr},
        {L"-$8000000000000000", TFormValueKind::Integer, INT64_MIN, 0, nullptr},
        {L"-$1F", TFormValueKind::Integer, -31, 0, nullptr},
        {L"2e3", TFormValueKind::Float, 0, 2000, nullptr},
        {L"-0.25", TFormValueKind::Float, 0, -0.25, nullptr},
        {L"9223372036854775808", TFormValueKind::Integer, 0, 0, L"number too large"},
        {L"$10000000000000000", TFormValueKind::Integer, 0, 0, L"number too large"},
        {L"1e999", TFormValueKind::Float, 0, 0, L"number too large"},
        {L"12ab", TFormValueKind::Integer, 0, 0, L"invalid number"},
        {L"1.", TFormValueKind::Integer, 0, 0, L"invalid number"},
        {L"$", TFormValueKind::Integer, 0, 0, L"hexadecimal digits expected"},
        {L"-", TFormValueKind::Integer, 0, 0, L"digits expected"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Text);
        UnicodeString text = UnicodeString(L"object F: T\n  X = ") + c.Text + L"\nend";
        if (c.Error) {
            try {
                ParseFormText(text);
                ADD_FAILURE() << "no error";
            } catch (const EReadError& e) {
                EXPECT_NE(e.Message().find(c.Error), UnicodeString::npos) << e.what();
            }
            continue;
        }
        TFormObject form = ParseFormText(text);
        ASSERT_EQ(form.Props.size(), 1u);
        const TFormValue& v = form.Props[0].Value;
        EXPECT_EQ(v.Kind, c.Kind);
        if (c.Kind == TFormValueKind::Integer)
            EXPECT_EQ(v.Int, c.Int);
        else
            EXPECT_DOUBLE_EQ(v.Float, c.Float);
    }
}

namespace {

// One random change to Text: a byte changed, one of the format's own
// characters or words put in, a piece cut out or repeated, or the end cut.
std::string Mutate(std::string Text, std::mt19937& Rng)
{
    static const char* const kPieces[] = {"(", ")", "<", ">", "{", "}", "[", "]", "'", "''", "#", "#$", "$", "+", "-",
                                          ".", "e", "=", ":", "9", "\n", " ", "end", "object ", "item ", "inherited ",
                                          "\xC3", "\xEA\xB0\x80", "\0"};
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : size_t(Rng() % n); };
    size_t at = pick(Text.size() + 1);
    switch (Rng() % 5) {
    case 0:
        if (!Text.empty())
            Text[pick(Text.size())] = char(Rng());
        break;
    case 1: {
        const char* piece = kPieces[pick(std::size(kPieces))];
        Text.insert(at, piece, std::max<size_t>(1, std::strlen(piece)));
        break;
    }
    case 2:
        Text.erase(at, pick(40) + 1);
        break;
    case 3:
        Text.insert(at, Text.substr(pick(Text.size() + 1), pick(80) + 1));
        break;
    default:
        Text.resize(at);
    }
    return Text;
}

} // namespace

// Damaged form text is refused with a read error (or read, when the damage
// still makes sense), never a crash, a hang or another kind of failure, and
// the root comes out of the reading state.
TEST_F(ReaderTest, DamagedFormsFailCleanly)
{
    std::mt19937 rng(20261210);
    int refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text = kForm;
        for (int n = 1 + int(rng() % 4); n > 0; --n)
            text = Mutate(text, rng);
        std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
        try {
            ReadComponentFromUtf8(text, form.get());
        } catch (const EStreamError&) { // EReadError, EClassNotFound
            ++refused;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "round " << round << ": " << e.what() << "\n" << text;
        }
        EXPECT_FALSE(form->ComponentState().Contains(csReading)) << round;
        EXPECT_FALSE(form->ComponentState().Contains(csLoading)) << round;
        if (HasFailure())
            break;
    }
    EXPECT_GT(refused, 10000); // the changes really damage the text
}
