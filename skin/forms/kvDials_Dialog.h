// The dialog skinner: TkvDialogWnd takes over a parentless standard dialog
// (window class "#32770") as a scroll wrapper and skins it the way a skin
// provider skins a form: one picture of the whole window (the "DIALOG"
// section, the "FORMTITLE" title, icon, caption text and caption buttons)
// kept in its skin data's cache bitmap, copied to the frame on
// WM_NCPAINT and to the client area on WM_ERASEBKGND; hit tests and clicks
// on its caption buttons, a skinned system menu, and a window region cut
// from the skin's transparent corners.  With the manager's extended
// borders a border window (TkvBorderForm) behind the dialog shows the
// image with the skin's shadow and wide frame, and the dialog's region
// leaves out the system frame.  The geometry is the skinned frame's own
// (TsFrameMetrics), fed with the dialog's facts.
//
// Part of unit kvDials; the creation hook makes it through TkvProvider.
//   kvDials_Dialog.cpp       creation, state queries, the window procedure,
//                            hit test, mouse, caption-button states, system menu
//   kvDials_DialogPaint.cpp  the window image, frame and client output, region
// GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/graphics/Graphics.h"
#include "skin/core/sVclUtils_Anim.h"
#include "skin/forms/sSkinProvider_ExBorders.h"
#include "skin/forms/sSkinProvider_Metrics.h"
#include "skin/forms/sSkinProvider_SysMenu.h"
#include "skin/forms/sSkinProvider_Title.h"
#include "skin/wrappers/kvSBUtils_Scroll.h"

class TkvProvider;
class TkvDialogWnd;

// How a dialog's frame looks, read from its styles.
enum TkvBorderStyle { kvbsDialog, kvbsSingle, kvbsNone, kvbsSizeable, kvbsToolWindow, kvbsSizeToolWin };

// The border style of a dialog's styles: none for a popup without caption,
// sizeable with a sizing frame, dialog with a modal frame, else single
// (a fixed frame).
TkvBorderStyle DialogBorderStyle(DWORD Style);
// The form border style that has the same frame.
TFormBorderStyle FormBorderStyleOf(TkvBorderStyle Style);

// The dialog's system menu: Restore, Move, Size, Minimize, Maximize, a
// separator and Close, shown and enabled as the dialog allows.
class TkvSystemMenu : public TsCustomSysMenu {
    KV_CLASS(TkvSystemMenu)
public:
    explicit TkvSystemMenu(TComponent* AOwner);

    void UpdateItems();
    bool VisibleClose() override;
    bool VisibleMax() override { return false; }
    bool VisibleMin() override { return false; }
    bool EnabledMax() override { return false; }
    bool EnabledMin() override { return false; }
    bool EnabledRestore() override { return false; }
    bool EnabledMove();
    bool EnabledSize();
    bool VisibleSize();

    TkvDialogWnd* FOwner = nullptr;
    TMenuItem* ItemRestore = nullptr;
    TMenuItem* ItemMove = nullptr;
    TMenuItem* ItemSize = nullptr;
    TMenuItem* ItemMinimize = nullptr;
    TMenuItem* ItemMaximize = nullptr;
    TMenuItem* ItemClose = nullptr;

private:
    TMenuItem* NewDialogMenuItem(const UnicodeString& Caption, const wchar_t* Name, void (TkvSystemMenu::*Click)(TObject*));
    void SysCommand(WPARAM Command);
    void RestoreClick(TObject* Sender);
    void MoveClick(TObject* Sender);
    void SizeClick(TObject* Sender);
    void MinClick(TObject* Sender);
    void MaxClick(TObject* Sender);
    void CloseClick(TObject* Sender);
};

class TkvDialogWnd : public TkvScrollWnd, public TsAnimShowSeam, public TkvFrameOwner {
    KV_CLASS(TkvDialogWnd)
public:
    ~TkvDialogWnd() override;
    void BeforeDestruction() override;
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    void kvWndProc(TMessage& Message) override;

    // Reads the dialog's styles, icon, caption-button faces and caption
    // font; takes WS_SYSMENU away while the skin draws the buttons.
    void InitParams();
    // Places the dialog's top-left there now and again when it is first
    // shown; -1 keeps the dialog's own coordinate on that axis.
    void PlaceAt(int Left, int Top);
    // Makes (Active) or frees the border window; a dialog without a frame
    // of the skin (kvbsNone) gets none.
    void InitExBorders(bool Active);
    // The border window of a visible dialog placed behind it and shown
    // again (Redraw: its picture sent again even when the size stayed).
    void UpdateExBordersPos(bool Redraw);
    void KillAnimations();

    // --- state queries (from the styles InitParams read)
    bool VisibleClose() const;
    bool VisibleMax() const;
    bool VisibleMin() const;
    bool VisibleHelp() const;
    bool VisibleRestore() const;
    bool EnabledClose() const;
    bool EnabledMax() const;
    bool EnabledMin() const;
    bool EnabledRestore() const;
    bool FormActive() const { return FFormActive; }
    bool Iconic() const;
    bool Zoomed() const;

    // --- geometry: the skinned frame's metrics fed with the dialog's facts
    TsFrameFacts FrameFacts() const;
    TsFrameMetrics Metrics() const { return TsFrameMetrics(FrameFacts()); }
    int CaptionHeight(bool CheckSkin) const;
    int HeaderHeight() const;
    int BorderHeight() const;
    int OffsetX() const;
    int OffsetY() const;
    // The skin's shadow around the image while a border window exists.
    TRect ShadowSize() const;

    // --- hit test and mouse
    // The caption button, icon or sizing border under the cursor (the
    // button becomes hot); 0 where the dialog's own procedure answers.
    int HTProcess(TMessage& Message);
    void SetHotHT(int i, bool Repaint = true);
    void SetPressedHT(int i);
    void RepaintButton(int i);
    // A screen point relative to the window's top-left.
    TPoint CursorToPoint(int X, int Y);
    void DropSysMenu(int X, int Y);
    TsCaptionButton* ButtonByCode(int HitCode);

    // --- painting (kvDials_DialogPaint.cpp)
    void PaintAll();
    void PaintForm(HDC DC, bool SendUpdated);
    void PaintCaption(HDC DC);
    void PaintBorderIcons();
    void MakeTitleBG();
    void PrepareTitleGlyph();
    void UpdateIconsIndexes();
    void Kv_WMPaint(TMessage& Msg);
    void Kv_WMNCPaint(TMessage& Message);
    void FillArOR();
    HRGN GetRgnFromArOR(int X, int Y);
    void UpdateRgn(bool Repaint);

    // --- the show animation's view of the dialog (kvDials_DialogPaint.cpp)
    HWND RealWindow() override { return CtrlHandle; }
    HWND BorderWindow() override;
    TSize RenderImage() override;
    // The window image with the controls printed over its client part.
    void PaintInto(TBitmap* Bmp) override;
    TPoint BorderOffset() override;
    void ShowEnded(int MaxTransparency) override;

    // --- what the caption buttons' fades ask of the dialog (kvDials_DialogPaint.cpp)
    HWND FrameHandle() override { return CtrlHandle; }
    TsCommonData* FrameSkinData() override { return SkinData; }
    TkvBorderForm* FrameBorderForm() override { return BorderForm; }
    TsCustomSysMenu* FrameSysMenu() override;
    TRect FrameShadowSize() override { return ShadowSize(); }
    TPoint FrameImageOrigin() override { return Metrics().ImageOrigin(); }
    int FrameSysBorderWidth() override { return Metrics().SysBorderWidth(false); }
    void FramePaintAll() override { PaintAll(); }
    void FrameKillAnimations() override { KillAnimations(); }
    void FrameSetHotHT(int HitCode) override { SetHotHT(HitCode, true); }
    TsCaptionButton* FrameButton(int HitCode) override { return ButtonByCode(HitCode); }
    int FrameButtonFace(int HitCode) override;
    void FrameButtonBackground(const TsCaptionButton& Btn, TBitmap* Dst) override;
    void FrameButtonGlyph(int HitCode, TBitmap* Dst, bool Pressed) override;
    TsFrameMetrics FrameMetrics() override { return Metrics(); }
    void FrameDoubleClick(int HitCode) override { CaptionDoubleClick(HitCode); }
    BYTE FrameAlpha() override { return 255; }
    TRect FrameClientHole() override { return TRect(); }
    bool FrameReady() override { return !Destroyed && ::IsWindow(CtrlHandle); }
    bool FrameModal() override { return false; }

    // --- fields
    std::vector<TRect> ArOR;
    int CurrentHT = 0;
    bool FFormActive = true;
    bool FWMPaintForbidden = false;
    int FCaptionSkinIndex = -1;
    bool Initialized = false;
    TkvBorderForm* BorderForm = nullptr;
    TsCaptionButton ButtonMin, ButtonMax, ButtonClose, ButtonHelp;
    TBitmap* TitleGlyph = nullptr;
    HICON TitleIcon = nullptr;
    TFont* TitleFont = nullptr;
    DWORD dwStyle = 0, dwExStyle = 0;
    bool RgnChanged = true;
    TkvBorderStyle BorderStyle = kvbsSingle;
    TBitmap* TitleBG = nullptr;
    // The strip behind the caption buttons as the last rebuild left it,
    // aligned with the image's right edge: a button's new state is drawn
    // on it.
    TBitmap* TempBmp = nullptr;
    TkvSystemMenu* SystemMenu = nullptr;
    TkvProvider* Provider = nullptr;
    // The brush answered to WM_CTLCOLORDLG, kept while its colour holds.
    GdiObject<HBRUSH> FDlgBrush;
    TColor FDlgBrushColor = clNone;
    // The glow mask of the caption text, kept between rebuilds.
    TBitmap* FGlow = nullptr;

private:
    bool FSysMenuTaken = false; // InitParams took WS_SYSMENU away
    int FPlaceLeft = -1, FPlaceTop = -1;
    bool FPlacePending = false;

    void Place();
    void GiveBackLook();
    void SkinCommand(TMessage& Message);
    void AnswerBGInfo(TMessage& Message);
    void PassOnDialog(TMessage& Message);
    void AfterPassedOn(TMessage& Message);
    void OwnProc(TMessage& Message);
    void WalkControls();
    void WMSize(TMessage& Message);
    void WMSetText(TMessage& Message);
    void WMShowWindow(TMessage& Message);
    void AnimShow();
    void WMNCPaintMsg(TMessage& Message);
    void WMNCActivate(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMPaintMsg(TMessage& Message);
    void WMCtlColorDlg(TMessage& Message);
    void Kv_WMNCHitTest(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    void Kv_WMNCLButtonDown(TMessage& Message);
    void Kv_WMLButtonUp(TMessage& Message, int HitCode);
    void WMNCLButtonDblClk(TMessage& Message);
    void CaptionDoubleClick(int HitCode);
    // A click the border window passed on (-1) takes the code of its point there.
    void BorderWindowCode(TMessage& Message);
    void WMWindowPosChanging(TMessage& Message);
    void WMNCRButtonUp(TMessage& Message);
    void Kv_WMNCActivate();
    void Kv_DrawStaticItem(TMessage& Message);
    bool AboveBorder(TMessage& Message);
    int FaceOf(int HitCode, bool& Disabled);
    void PaintDialogTitle(const TsFrameMetrics& M, TBitmap* TitleBand = nullptr);
    void PaintExtendedFrame(const TsFrameMetrics& M);
    void PaintCaptionText(const TsFrameMetrics& M, TBitmap* TitleBand = nullptr);
    void DrawAppIcon(const TsFrameMetrics& M);
    void SaveBGForBtns();
    void PlaceDialogButton(TsCaptionButton& Btn, const TRect& R, int Mask, bool Enabled);
};

// A caption button is pressed and not released yet (shared by the dialogs).
extern bool ButtonPressed;
// A dialog is setting its window region (its own non-client paint waits).
extern bool InUpdateRgn;
