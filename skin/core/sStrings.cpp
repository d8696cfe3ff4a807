#include "skin/core/sStrings.h"

#include <windows.h>

UnicodeString kvs_MsgDlgOK;
UnicodeString kvs_MsgDlgCancel;
UnicodeString kvs_MsgDlgHelp;
UnicodeString kvs_RestoreStr;
UnicodeString kvs_MoveStr;
UnicodeString kvs_SizeStr;
UnicodeString kvs_MinimizeStr;
UnicodeString kvs_MaximizeStr;
UnicodeString kvs_CloseStr;
UnicodeString kvs_FileOpen;
UnicodeString kvs_AvailSkins;
UnicodeString kvs_InternalSkin;
UnicodeString kvs_ErrorSettingCount;
UnicodeString kvs_ListBoxMustBeVirtual;
UnicodeString kvs_ColorDlgAdd;
UnicodeString kvs_ColorDlgDefine;
UnicodeString kvs_ColorDlgMainPal;
UnicodeString kvs_ColorDlgAddPal;
UnicodeString kvs_ColorDlgTitle;
UnicodeString kvs_ColorDlgRed;
UnicodeString kvs_ColorDlgGreen;
UnicodeString kvs_ColorDlgBlue;
UnicodeString kvs_ColorDlgDecimal;
UnicodeString kvs_ColorDlgHex;
UnicodeString kvs_FrameAdapterError1;
UnicodeString kvs_HintDsgnTitle;
UnicodeString kvs_HintDsgnPreserved;
UnicodeString kvs_HintDsgnStyle;
UnicodeString kvs_HintDsgnBevelWidth;
UnicodeString kvs_Blur;
UnicodeString kvs_HintDsgnArrowLength;
UnicodeString kvs_HintDsgnHorizMargin;
UnicodeString kvs_HintDsgnVertMargin;
UnicodeString kvs_HintDsgnRadius;
UnicodeString kvs_HintDsgnMaxWidth;
UnicodeString kvs_HintDsgnPauseHide;
UnicodeString kvs_Percent;
UnicodeString kvs_HintDsgnOffset;
UnicodeString kvs_HintDsgnTransparency;
UnicodeString kvs_HintDsgnNoPicture;
UnicodeString kvs_Font;
UnicodeString kvs_Texture;
UnicodeString kvs_HintDsgnLoad;
UnicodeString kvs_HintDsgnSave;
UnicodeString kvs_HintDsgnColor;
UnicodeString kvs_HintDsgnBorderTop;
UnicodeString kvs_HintDsgnBorderBottom;
UnicodeString kvs_Shadow;
UnicodeString kvs_Background;
UnicodeString kvs_Gradient;
UnicodeString kvs_PreviewHint;
UnicodeString kvs_SelectDir;
UnicodeString kvs_Create;

const TkvStringEntry kvStringTable[53] = {
    {58992, &kvs_MsgDlgOK},
    {58991, &kvs_MsgDlgCancel},
    {58990, &kvs_MsgDlgHelp},
    {58981, &kvs_RestoreStr},
    {58980, &kvs_MoveStr},
    {58979, &kvs_SizeStr},
    {58978, &kvs_MinimizeStr},
    {58977, &kvs_MaximizeStr},
    {58976, &kvs_CloseStr},
    {58970, &kvs_FileOpen},
    {58964, &kvs_AvailSkins},
    {58963, &kvs_InternalSkin},
    {58962, &kvs_ErrorSettingCount},
    {58961, &kvs_ListBoxMustBeVirtual},
    {58960, &kvs_ColorDlgAdd},
    {58959, &kvs_ColorDlgDefine},
    {58958, &kvs_ColorDlgMainPal},
    {58957, &kvs_ColorDlgAddPal},
    {58956, &kvs_ColorDlgTitle},
    {58955, &kvs_ColorDlgRed},
    {58954, &kvs_ColorDlgGreen},
    {58953, &kvs_ColorDlgBlue},
    {58952, &kvs_ColorDlgDecimal},
    {58951, &kvs_ColorDlgHex},
    {58950, &kvs_FrameAdapterError1},
    {58949, &kvs_HintDsgnTitle},
    {58948, &kvs_HintDsgnPreserved},
    {58947, &kvs_HintDsgnStyle},
    {58946, &kvs_HintDsgnBevelWidth},
    {58945, &kvs_Blur},
    {58944, &kvs_HintDsgnArrowLength},
    {58943, &kvs_HintDsgnHorizMargin},
    {58942, &kvs_HintDsgnVertMargin},
    {58941, &kvs_HintDsgnRadius},
    {58940, &kvs_HintDsgnMaxWidth},
    {58939, &kvs_HintDsgnPauseHide},
    {58938, &kvs_Percent},
    {58937, &kvs_HintDsgnOffset},
    {58936, &kvs_HintDsgnTransparency},
    {58935, &kvs_HintDsgnNoPicture},
    {58934, &kvs_Font},
    {58933, &kvs_Texture},
    {58932, &kvs_HintDsgnLoad},
    {58931, &kvs_HintDsgnSave},
    {58930, &kvs_HintDsgnColor},
    {58929, &kvs_HintDsgnBorderTop},
    {58928, &kvs_HintDsgnBorderBottom},
    {58927, &kvs_Shadow},
    {58926, &kvs_Background},
    {58925, &kvs_Gradient},
    {58924, &kvs_PreviewHint},
    {58911, &kvs_SelectDir},
    {58910, &kvs_Create},
};

namespace {

UnicodeString LoadLibraryString(int id)
{
    // With a zero buffer size LoadStringW hands back a pointer into the
    // resource itself, so texts of any length load whole.
    const wchar_t* text = nullptr;
    int len = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    return len > 0 && text ? UnicodeString(text, static_cast<size_t>(len)) : UnicodeString();
}

struct TStringsUnit {
    TStringsUnit()
    {
        for (const TkvStringEntry& e : kvStringTable)
            *e.Text = LoadLibraryString(e.Id);
    }
    ~TStringsUnit()
    {
        for (const TkvStringEntry& e : kvStringTable)
            e.Text->clear();
    }
};

// Defined after the variables, so they exist before the loader runs and are
// cleared before they go.
TStringsUnit StringsUnit;

} // namespace
