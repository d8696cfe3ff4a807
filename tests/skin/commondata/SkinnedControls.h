// Small skinned controls for the tests: each owns a TsCommonData published
// as "SkinData", sends its messages through CommonWndProc first, records the
// command message's sub-commands it receives, counts its paints and skips
// painting while it reports updating, as the library's controls do.
#pragma once

#include <vector>

#include "classlib/controls/Controls.h"
#include "classlib/controls/ExtCtrls.h"
#include "classlib/controls/Forms.h"
#include "classlib/controls/StdCtrls.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sSkinManager.h"

// What every test control shares.
struct TSkinnedPart {
    TsCommonData* SkinData = nullptr;
    std::vector<int> Commands;  // sub-commands received, in order
    int Paints = 0;             // paints done
    int Skipped = 0;            // paints skipped while updating

    TSkinnedPart(TControl* Owner, int COC);
    ~TSkinnedPart();
    // True when the message needs nothing more.
    bool Handle(TControl* Self, TMessage& Message);
    void Paint();
};

#define KV_TEST_SKINNED(Class, Base, Code)                                      \
    class Class : public Base {                                                 \
        KV_CLASS(Class)                                                         \
        KV_PUBLISHED                                                            \
    public:                                                                     \
        TSkinnedPart Part;                                                      \
        explicit Class(TComponent* AOwner) : Base(AOwner), Part(this, Code) {}  \
        TsCommonData* SkinData() const { return Part.SkinData; }                \
        void WndProc(TMessage& Message) override                                \
        {                                                                       \
            if (!Part.Handle(this, Message))                                    \
                Base::WndProc(Message);                                         \
        }                                                                       \
                                                                                \
    protected:                                                                  \
        void Paint() override { Part.Paint(); }                                 \
    };

// A panel (a container that may go without a cache of its own).
KV_TEST_SKINNED(TTestPanel, TPanel, 51)
// A windowed control that is not a container class.
KV_TEST_SKINNED(TTestControl, TCustomControl, 93)
// A control without a window.
KV_TEST_SKINNED(TTestGraphic, TGraphicControl, 92)

// An edit (colours follow the skin).
class TTestEdit : public TEdit {
    KV_CLASS(TTestEdit)
    KV_PUBLISHED
public:
    TSkinnedPart Part;
    explicit TTestEdit(TComponent* AOwner) : TEdit(AOwner), Part(this, 3) {}
    TsCommonData* SkinData() const { return Part.SkinData; }
    void WndProc(TMessage& Message) override
    {
        if (!Part.Handle(this, Message))
            TEdit::WndProc(Message);
    }
};

// A skin manager with hand-made tables.
class TTestSkin {
public:
    TsSkinManager* Manager;
    TTestSkin();
    ~TTestSkin();

    struct TSection {
        const wchar_t* Name;
        int Transparency = 0;
        TColor Color = 0xC0C0C0;
        int GradientPercent = 0;
        int ImagePercent = 0;
        bool GiveOwnFont = false;
        TColor FontColor = 0x101010;
    };
    int AddSection(const TSection& S);
    // A border image of the section with these widths; the section's BorderIndex.
    int AddBorder(const wchar_t* Section, int WL, int WT, int WR, int WB);
    int AddTexture(const wchar_t* Section, const wchar_t* Name);
    // Drops every section and image (a skin that has none of them).
    void Clear();
};

// Sends the command message to a control by Perform.
LRESULT Command(TControl* Control, int Cmd, int Arg = 0, LPARAM LParam = 0);
