// The skin library's user-visible texts, loaded from the program's string
// table when the program starts (before any form exists).
#pragma once

#include "classlib/rtl/System.h"

extern UnicodeString kvs_MsgDlgOK;
extern UnicodeString kvs_MsgDlgCancel;
extern UnicodeString kvs_MsgDlgHelp;
extern UnicodeString kvs_RestoreStr;
extern UnicodeString kvs_MoveStr;
extern UnicodeString kvs_SizeStr;
extern UnicodeString kvs_MinimizeStr;
extern UnicodeString kvs_MaximizeStr;
extern UnicodeString kvs_CloseStr;
extern UnicodeString kvs_FileOpen;
extern UnicodeString kvs_AvailSkins;
extern UnicodeString kvs_InternalSkin;
extern UnicodeString kvs_ErrorSettingCount;
extern UnicodeString kvs_ListBoxMustBeVirtual;
extern UnicodeString kvs_ColorDlgAdd;
extern UnicodeString kvs_ColorDlgDefine;
extern UnicodeString kvs_ColorDlgMainPal;
extern UnicodeString kvs_ColorDlgAddPal;
extern UnicodeString kvs_ColorDlgTitle;
extern UnicodeString kvs_ColorDlgRed;
extern UnicodeString kvs_ColorDlgGreen;
extern UnicodeString kvs_ColorDlgBlue;
extern UnicodeString kvs_ColorDlgDecimal;
extern UnicodeString kvs_ColorDlgHex;
extern UnicodeString kvs_FrameAdapterError1;
extern UnicodeString kvs_HintDsgnTitle;
extern UnicodeString kvs_HintDsgnPreserved;
extern UnicodeString kvs_HintDsgnStyle;
extern UnicodeString kvs_HintDsgnBevelWidth;
extern UnicodeString kvs_Blur;
extern UnicodeString kvs_HintDsgnArrowLength;
extern UnicodeString kvs_HintDsgnHorizMargin;
extern UnicodeString kvs_HintDsgnVertMargin;
extern UnicodeString kvs_HintDsgnRadius;
extern UnicodeString kvs_HintDsgnMaxWidth;
extern UnicodeString kvs_HintDsgnPauseHide;
extern UnicodeString kvs_Percent;
extern UnicodeString kvs_HintDsgnOffset;
extern UnicodeString kvs_HintDsgnTransparency;
extern UnicodeString kvs_HintDsgnNoPicture;
extern UnicodeString kvs_Font;
extern UnicodeString kvs_Texture;
extern UnicodeString kvs_HintDsgnLoad;
extern UnicodeString kvs_HintDsgnSave;
extern UnicodeString kvs_HintDsgnColor;
extern UnicodeString kvs_HintDsgnBorderTop;
extern UnicodeString kvs_HintDsgnBorderBottom;
extern UnicodeString kvs_Shadow;
extern UnicodeString kvs_Background;
extern UnicodeString kvs_Gradient;
extern UnicodeString kvs_PreviewHint;
extern UnicodeString kvs_SelectDir;
extern UnicodeString kvs_Create;

// One entry of the library's string table: its id and the text variable
// loaded from it, in loading order.
struct TkvStringEntry {
    int Id;
    UnicodeString* Text;
};
extern const TkvStringEntry kvStringTable[53];
