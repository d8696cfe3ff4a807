// The manager's life: read from a form resource (the skin loaded while its
// name is read, announced in Loaded), the creation hook (one per thread,
// installed with the first announcement, removed with the skin), failed
// loads, and GDI objects across many skin changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "FakeFormsServices.h"
#include "ManagerFixture.h"
#include "RecordingControls.h"
#include "classlib/rtl/FileUtils.h"
#include "skin/core/sStyleSimply.h"
#include "skin/core/sVclUtils.h"

using namespace managertest;
using namespace recording;

namespace {

// Notes what it found when Loaded came, before and after the manager's own.
class TRecordingSkinManager : public TsSkinManager {
    KV_CLASS(TRecordingSkinManager)
public:
    using TsSkinManager::TsSkinManager;
    struct TSnapshot {
        bool Loading = false;
        size_t Sections = 0;
        bool Announced = false;
        size_t SkinSets = 0;
        bool Hooked = false;
    };
    TSnapshot Before, After;
    void Loaded() override
    {
        Before = Take();
        TsSkinManager::Loaded();
        After = Take();
    }

private:
    TSnapshot Take()
    {
        return {ComponentState().Contains(csLoading), gd.size(), SkinData->Active, ReceiversOf(SMC_SKIN_SET).size(),
                HookInstalled()};
    }
};

class THostForm : public TForm {
    KV_CLASS(THostForm)
public:
    explicit THostForm(TComponent* AOwner) : TForm(AOwner, 0) {}
};

const bool Registered = [] {
    UseFakeFormsServices();
    RegisterSkinManagerClasses();
    RegisterClasses<TRecordingSkinManager, THostForm>();
    return true;
}();

std::string Hex(const std::wstring& File)
{
    TMemoryStream data;
    data.LoadFromFile(File);
    std::string hex;
    const auto* bytes = static_cast<const uint8_t*>(data.Memory());
    char two[3];
    for (int64_t i = 0; i < data.Size(); ++i) {
        std::snprintf(two, sizeof two, "%02X", bytes[i]);
        hex += two;
        if (i % 64 == 63)
            hex += "\n";
    }
    return hex;
}

std::string Narrow(const std::wstring& S)
{
    return std::string(S.begin(), S.end());
}

// The main form's text, as the viewer stores its manager.
std::string HostText()
{
    return "object HostForm: THostForm\n"
           "  object sSkinManager1: TRecordingSkinManager\n"
           "    InternalSkins = <\n"
           "      item\n"
           "        Name = '" + Narrow(BuiltinName()) + "'\n"
           "        Data = {" + Hex(BuiltinPackedFile()) + "}\n"
           "      end>\n"
           "    SkinDirectory = 'C:\\Skins'\n"
           "    SkinName = '" + Narrow(BuiltinName()) + "'\n"
           "    SkinInfo = '6.4'\n"
           "    ThirdParty.ThirdEdits = ' '\n"
           "    ThirdParty.ThirdButtons = 'TButton'\n"
           "  end\n"
           "end\n";
}

class ManagerLifecycle : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Registered);
        ASSERT_EQ(DefaultManager, nullptr) << "a manager of another test is still alive";
        Log().clear();
    }
    void TearDown() override
    {
        FreeAndNil(Host);
        FreeAndNil(Watcher);
        Log().clear();
    }
    void ReadHost()
    {
        Host = New<THostForm>(Application);
        TStringStream text(HostText());
        ReadComponentResFromStream(&text, Host);
        Manager = dynamic_cast<TRecordingSkinManager*>(Host->FindComponent(L"sSkinManager1"));
        ASSERT_NE(Manager, nullptr);
    }
    THostForm* Host = nullptr;
    TRecordingSkinManager* Manager = nullptr;
    TRecForm* Watcher = NewForm(L"Watcher");
};

} // namespace

TEST_F(ManagerLifecycle, SkinLoadsWhileTheResourceIsReadAndIsAnnouncedInLoaded)
{
    ReadHost();
    // When Loaded came the skin was there, unannounced, and nobody told.
    EXPECT_TRUE(Manager->Before.Loading);
    EXPECT_GT(Manager->Before.Sections, 0u);
    EXPECT_FALSE(Manager->Before.Announced);
    EXPECT_EQ(Manager->Before.SkinSets, 0u);
    EXPECT_FALSE(Manager->Before.Hooked);
    // Loaded announced it once, to the other forms, and installed the hook.
    EXPECT_TRUE(Manager->After.Announced);
    EXPECT_EQ(ReceiversOf(SMC_SKIN_SET), (std::vector<std::wstring>{L"Watcher"}));
    EXPECT_TRUE(Manager->After.Hooked);
    EXPECT_TRUE(ThreadHasCreationHook());
    // A first announcement repaints nothing.
    EXPECT_TRUE(ReceiversOf(SMC_SKIN_REFRESH).empty());

    EXPECT_EQ(DefaultManager, Manager);
    EXPECT_EQ(Manager->SkinName(), BuiltinName());
    EXPECT_EQ(Manager->SkinDirectory(), L"C:\\Skins");
    EXPECT_EQ(Manager->GetSkinInfo(), L"6.4");
    ASSERT_NE(Manager->MenuSupport(), nullptr);
    EXPECT_EQ(Manager->MenuSupport()->IcoLineSkin(), L"ICOLINE");
    EXPECT_EQ(Manager->ThirdLists[tpButton]->Text(), L"TButton\r\n");
    EXPECT_EQ(Manager->ThirdLists[tpEdit]->Text(), L" \r\n");
    EXPECT_FALSE(aSkinChanging);
}

TEST_F(ManagerLifecycle, CreationHookLivesWithTheSkin)
{
    ReadHost();
    ASSERT_TRUE(ThreadHasCreationHook());
    Manager->SetActive(false);
    EXPECT_FALSE(ThreadHasCreationHook());
    EXPECT_EQ(ReceiversOf(SMC_SKIN_REMOVE), (std::vector<std::wstring>{L"Watcher"}));
    Manager->SetActive(true);
    EXPECT_TRUE(ThreadHasCreationHook());
    FreeAndNil(Host);
    EXPECT_FALSE(ThreadHasCreationHook());
    EXPECT_EQ(DefaultManager, nullptr);
}

TEST_F(ManagerLifecycle, ASecondDefaultManagerTakesTheThreadsOneHook)
{
    ReadHost();
    const HHOOK first = CreationHookHandle();
    std::unique_ptr<TsSkinManager> second(New<TsSkinManager>(nullptr));
    EXPECT_FALSE(second->IsDefault());
    EXPECT_FALSE(second->HookInstalled());
    AddBuiltin(second.get());
    second->SetSkinName(BuiltinName());
    EXPECT_EQ(CreationHookHandle(), first);  // a manager that is not the default hooks nothing

    second->SetIsDefault(true);
    EXPECT_EQ(DefaultManager, second.get());
    EXPECT_TRUE(second->HookInstalled());
    EXPECT_FALSE(Manager->HookInstalled());
    EXPECT_EQ(CreationHookHandle(), first);  // still the one hook
    FreeAndNil(Host);                // the former default lets go of nothing
    EXPECT_TRUE(ThreadHasCreationHook());
    second.reset();
    EXPECT_FALSE(ThreadHasCreationHook());
    EXPECT_EQ(DefaultManager, nullptr);
}

TEST_F(ManagerLifecycle, ADamagedSkinFileLeavesThePreviousSkinAndNoFlagsSet)
{
    ReadHost();
    const size_t sections = Manager->gd.size();
    const UnicodeString dir = GetCurrentDir() + L"\\damaged-skins";
    CreateDir(dir);
    const std::string damagedFiles[] = {std::string("PLzf\x02\x00\x00\x00garbage", 15), "not a packed skin at all"};
    for (const std::string& bytes : damagedFiles) {
        TStringStream damaged(bytes);
        damaged.SaveToFile(dir + L"\\Broken.plz");
        Manager->SetSkinDirectory(dir);
        Log().clear();
        EXPECT_ANY_THROW(Manager->SetSkinName(L"Broken"));
        EXPECT_TRUE(Manager->SkinData->Active);
        EXPECT_EQ(Manager->gd.size(), sections);
        EXPECT_EQ(Manager->SkinName(), BuiltinName());
        EXPECT_FALSE(aSkinChanging);
        EXPECT_FALSE(RestrictDrawing);
        EXPECT_TRUE(ReceiversOf(SMC_SKIN_SET).empty());
    }
    DeleteFile(dir + L"\\Broken.plz");
    RemoveDir(dir);
}

TEST_F(ManagerLifecycle, AFailingAnnouncementUnlocksTheFormsAndClearsTheFlags)
{
    ReadHost();
    auto* grumpy = NewChild<TRecGraphic>(Watcher, L"Grumpy");
    grumpy->Rec.OnCommand = [](TControl*, int cmd, TMessage&) {
        if (cmd == SMC_SKIN_SET) {
            EXPECT_TRUE(RestrictDrawing);
            EXPECT_TRUE(aSkinChanging);
            throw Exception(L"cannot take it");
        }
    };
    EXPECT_THROW(Manager->SetSkinName(BuiltinName()), Exception);
    EXPECT_FALSE(RestrictDrawing);
    EXPECT_FALSE(aSkinChanging);
    EXPECT_FALSE(InAnimationProcess);
    EXPECT_TRUE(Manager->SkinData->Active);
}

TEST_F(ManagerLifecycle, GdiObjectsStayTheSameAcrossAHundredSkinChanges)
{
    ReadHost();
    AddBuiltin(Manager, L"Second copy");
    Manager->SetSkinName(L"Second copy");  // warm-up: every cache filled once
    Manager->SetSkinName(BuiltinName());
    const TResourceCount before = CountResources();
    for (int i = 0; i < 50; ++i) {
        Manager->SetSkinName(L"Second copy");
        Manager->SetSkinName(BuiltinName());
    }
    EXPECT_TRUE(NoResourceGrowth(before, CountResources()));
}
