// The tool-bar wrappers.
#include "skin/wrappers/kvSBUtils_ToolBar.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "classlib/graphics/GdiHandles.h"
#include "skin/core/kvntUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/sVclUtils.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/paint/sGraphUtils_Sections.h"
#include "skin/paint/sGraphUtils_Text.h"
#include "skin/wrappers/kvSBUtils_Paint.h"

namespace {

TSize FrameSize(const TsMaskData& MD)
{
    const int frames = std::max<int>(MD.ImageCount, 1);
    return TSize(MD.R.Width() / frames, MD.R.Height() / (MD.MaskType + 1));
}

// The words of Text split at spaces (empty words dropped).
std::vector<UnicodeString> Words(const UnicodeString& Text)
{
    std::vector<UnicodeString> out;
    size_t start = 0;
    while (start <= Text.size()) {
        size_t end = Text.find(L' ', start);
        if (end == UnicodeString::npos)
            end = Text.size();
        if (end > start)
            out.push_back(Text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

UnicodeString Join(const std::vector<UnicodeString>& Words, size_t From, size_t To)
{
    UnicodeString s;
    for (size_t i = From; i < To; ++i) {
        if (i > From)
            s += L" ";
        s += Words[i];
    }
    return s;
}

UnicodeString ButtonText(HWND Bar, int Command)
{
    const LRESULT n = ::SendMessageW(Bar, TB_GETBUTTONTEXTW, WPARAM(Command), 0);
    if (n <= 0)
        return {};
    std::wstring s(size_t(n) + 1, L'\0');
    const LRESULT got = ::SendMessageW(Bar, TB_GETBUTTONTEXTW, WPARAM(Command), reinterpret_cast<LPARAM>(s.data()));
    s.resize(got > 0 ? size_t(got) : 0);
    return UnicodeString(s);
}

// Clears a tool-bar field when that bar is freed.
class TkvBarWatch : public TComponent {
public:
    explicit TkvBarWatch(TToolBar*& Field) : TComponent(nullptr), FField(Field)
    {
        if (Field)
            Field->FreeNotification(this);
    }
    ~TkvBarWatch() override
    {
        if (FField)
            FField->RemoveFreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == FField)
            FField = nullptr;
    }

private:
    TToolBar*& FField;
};

} // namespace

// ---------------------------------------------------------------------------
// TkvToolBarWnd

int TkvToolBarWnd::Count() const
{
    return int(::SendMessageW(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
}

TRect TkvToolBarWnd::GetButtonRect(int Index) const
{
    TRect r;
    if (!::SendMessageW(CtrlHandle, TB_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r)))
        return TRect();
    return r;
}

void TkvToolBarWnd::PrepareCache()
{
    InitCtrlData(this);
    if (!SkinData->BGChanged && SkinData->FCacheBmp && !SkinData->FCacheBmp->Empty())
        return;
    SkinData->BGChanged = true;
    ::GetClientRect(CtrlHandle, &ClientRect);
    ::PrepareCache(SkinData, CtrlHandle, false);
    FillWrapperCorners(SkinData, 0, this);
    BorderWidth = (WndSize.cy - ClientRect.Height()) / 2;
    SkinData->BGChanged = false;
}

bool TkvToolBarWnd::Updating()
{
    const bool updating = GetBoolMsg(ParentWnd, SMC_GET_UPDATING) || SkinData->GetUpdating();
    SkinData->SetUpdating(updating);
    return updating;
}

void TkvToolBarWnd::KV_WMPaint(HDC DC)
{
    TkvPaintScope paint(CtrlHandle, DC);
    InitCtrlData(this);
    if (!Updating())
        KV_WMPrint(DC);
}

void TkvToolBarWnd::KV_WMPrint(HDC DC)
{
    PrepareCache();
    TBitmap* cache = SkinData->FCacheBmp;
    if (!cache || cache->Empty())
        return;
    TOwned<TBitmap> bmp(CreateBmp24(cache->Width(), cache->Height()));
    DrawButtons(bmp.get());
    TkvTargetDC dc(CtrlHandle, DC);
    const int b = BorderWidth;
    ::BitBlt(dc, 0, 0, cache->Width() - 2 * b, cache->Height() - 2 * b, bmp->Canvas()->Handle(), b, b, SRCCOPY);
}

void TkvToolBarWnd::DrawButtons(TBitmap* Bmp)
{
    TBitmap* cache = SkinData->FCacheBmp;
    ::BitBlt(Bmp->Canvas()->Handle(), 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
             SRCCOPY);
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        TRect r = GetButtonRect(i);
        if (r.IsEmpty())
            continue;
        ::OffsetRect(&r, BorderWidth, BorderWidth);
        DrawBtn(i, r, Bmp->Canvas()->Handle());
    }
}

void TkvToolBarWnd::DrawSeparator(const TRect& R, TBitmap* Work)
{
    TsSkinManager* m = SkinData->GetSkinManager();
    const int index = m->GetSkinIndex(L"DIVIDER");
    if (index < 0 || !m->IsValidImgIndex(m->GetMaskIndex(index, L"DIVIDER", L"BORDERSMASK")))
        return;
    const int w = R.Width(), h = R.Height();
    const TRect divider(w / 2 - 1, 2, w / 2 + 3, h - 2);
    PaintItem(index, L"DIVIDER", MakeCacheInfo(SkinData->FCacheBmp, 0, 0), true, 0, divider,
              TPoint(R.left + divider.left, R.top + divider.top), Work, m, -1, -1);
}

void TkvToolBarWnd::DrawButtonText(const TBBUTTON& Button, int State, int Pressed, int ImageHeight, TBitmap* Work,
                                   const TRect& R)
{
    if (Button.idCommand == -1)
        return;
    const UnicodeString text = ButtonText(CtrlHandle, Button.idCommand);
    if (text.empty())
        return;
    TsSkinManager* m = SkinData->GetSkinManager();
    TCanvas* canvas = Work->Canvas();
    AssignWndFont(canvas, CtrlHandle);
    canvas->Brush()->SetStyle(bsClear);
    const int lineHeight = canvas->TextHeight(L"W");
    const int w = R.Width(), h = R.Height(), p = Pressed;
    const TRect t(p + 2, p + 2 + (ImageHeight ? ImageHeight + 2 : 0), w + p - 2, h + p - 2);
    const bool ownFont = m->IsValidSkinIndex(SkinData->SkinIndex) && m->gd[size_t(SkinData->SkinIndex)].GiveOwnFont;
    const int toolButton = m->GetSkinIndex(L"TOOLBUTTON");
    auto write = [&](const UnicodeString& s, TRect r, unsigned flags) {
        if (State != 0 && !ownFont)
            kvWriteTextEx(canvas, s.c_str(), true, r, flags, toolButton, true, m);
        else
            kvWriteTextEx(canvas, s.c_str(), true, r, flags, SkinData, State != 0);
    };
    const std::vector<UnicodeString> words = Words(text);
    if (words.size() >= 3) {
        // All words but the last two, then the last two.
        write(Join(words, 0, words.size() - 2), TRect(t.left, t.top, t.right, t.top + lineHeight), DT_CENTER);
        write(Join(words, words.size() - 2, words.size()), TRect(t.left, t.top + lineHeight, t.right, t.bottom),
              DT_END_ELLIPSIS);
    } else {
        write(text, t, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_END_ELLIPSIS);
    }
}

void TkvToolBarWnd::DrawBtn(int Index, const TRect& R, HDC DC)
{
    TBBUTTON button{};
    if (!::SendMessageW(CtrlHandle, TB_GETBUTTON, WPARAM(Index), reinterpret_cast<LPARAM>(&button)))
        return;
    TsSkinManager* m = SkinData->GetSkinManager();
    TBitmap* cache = SkinData->FCacheBmp;
    const int w = R.Width(), h = R.Height();
    if (!m || w <= 0 || h <= 0)
        return;
    TOwned<TBitmap> work(CreateBmp24(w, h));
    const HDC wdc = work->Canvas()->Handle();
    if (button.fsStyle & BTNS_SEP) {
        ::BitBlt(wdc, 0, 0, w, h, cache->Canvas()->Handle(), R.left, R.top, SRCCOPY);
        DrawSeparator(R, work.get());
        ::BitBlt(DC, R.left, R.top, w, h, wdc, 0, 0, SRCCOPY);
        return;
    }
    const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
    int state = 0;
    if (enabled && (button.fsState & TBSTATE_PRESSED)) {
        state = 2;
    } else if (enabled) {
        TRect onScreen = R;
        ::OffsetRect(&onScreen, WndRect.left, WndRect.top);
        state = ::PtInRect(&onScreen, kvMousePos()) ? 1 : 0;
    }
    const int p = state == 2 ? 1 : 0;
    const int toolButton = m->GetSkinIndex(L"TOOLBUTTON");
    if (toolButton >= 0)
        PaintItem(toolButton, L"TOOLBUTTON", MakeCacheInfo(cache, 0, 0), true, state, TRect(0, 0, w, h), R.TopLeft(),
                  work.get(), m, -1, -1);

    int ih = 0;
    auto list = reinterpret_cast<HIMAGELIST>(::SendMessageW(CtrlHandle, TB_GETIMAGELIST, 0, 0));
    if (button.iBitmap >= 0 && list) {
        int iw = 0;
        ::ImageList_GetIconSize(list, &iw, &ih);
        const int y = 4 + p;
        int x = p + (w - iw) / 2;
        if (button.fsStyle & BTNS_WHOLEDROPDOWN) {
            const int arrow = m->GetMaskIndex(m->ConstData.IndexScrollBottom, L"SCROLLBTNBOTTOM", L"GLYPHMASK");
            if (m->IsValidImgIndex(arrow)) {
                const TsMaskData& md = m->ma[size_t(arrow)];
                const TSize g = FrameSize(md);
                DrawSkinGlyph(work.get(), TPoint(w + p - g.cx - 2, p + (h - g.cy) / 2), state, 1, md, EmptyCI);
                x = p + (w - (iw + g.cx)) / 2;
            }
        }
        // Drawn through the list's mask: the application's list keeps its
        // own background colour.
        ::ImageList_Draw(list, button.iBitmap, wdc, x, y, ILD_TRANSPARENT);
    }
    DrawButtonText(button, state, p, ih, work.get(), R);
    if (!enabled) {
        TsColor noKey;
        noKey.C = clFuchsia;
        noKey.A = 0xFF;
        BlendTransRectangle(work.get(), 0, 0, cache, TRect(R.left, R.top, R.right - 1, R.bottom - 1), 0.4, noKey);
    }
    ::BitBlt(DC, R.left, R.top, w, h, wdc, 0, 0, SRCCOPY);
}

void TkvToolBarWnd::KV_WMNCPaint()
{
    if (!(::GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        return;
    InitCtrlData(this);
    if (Updating())
        return;
    PrepareCache();
    TBitmap* cache = SkinData->FCacheBmp;
    if (!cache || cache->Empty())
        return;
    TkvTargetDC dc(CtrlHandle, nullptr, true);
    SavedDC saved(dc);
    TRect client;
    ::GetClientRect(CtrlHandle, &client);
    BitBltBorder(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0,
                 (WndSize.cx - client.Width()) / 2);
}

void TkvToolBarWnd::kvWndProc(TMessage& Message)
{
    if (!WrapperSkinned(this) || !SkinData) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: {
        SkinData->BGChanged = true;
        TkvAliveGuard guard(this);
        TkvMainWnd::kvWndProc(Message);
        if (guard.Alive() && !Destroyed)
            ::SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
        return;
    }
    case WM_PAINT:
        if (!::IsWindowVisible(CtrlHandle) && !Message.WParam)
            break;
        KV_WMPaint(reinterpret_cast<HDC>(Message.WParam));
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        KV_WMNCPaint();
        return;
    case WM_PRINT:
        KV_WMPrint(reinterpret_cast<HDC>(Message.WParam));
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Message.WParamHi == SMC_PARENT_UPDATED && SkinData->FUpdating) {
        SkinData->SetUpdating(false);
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        return;
    }
    TkvMainWnd::kvWndProc(Message);
}

// ---------------------------------------------------------------------------
// TkvToolBarVCLWnd

TkvToolBarVCLWnd::~TkvToolBarVCLWnd()
{
    RestoreEvents();
    delete FBarWatch;
}

void TkvToolBarVCLWnd::Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                              const UnicodeString& SkinSection, bool Repaint)
{
    TkvMainWnd::Create(AHandle, ASkinData, ASkinManager, SkinSection, Repaint);
    HotButtonIndex = -1;
    ToolBar = SkinData ? dynamic_cast<TToolBar*>(SkinData->FOwnerControl) : nullptr;
    if (!ToolBar)
        return;
    if (SkinSection.empty())
        SkinData->SetSkinSection(L"TOOLBAR");
    FBarWatch = new TkvBarWatch(ToolBar);
    if (Destroyed)
        return;
    FOldDraw = ToolBar->OnAdvancedCustomDraw;
    FOldDrawButton = ToolBar->OnAdvancedCustomDrawButton;
    ToolBar->OnAdvancedCustomDraw = Bind(this, &TkvToolBarVCLWnd::OurAdvancedCustomDraw);
    ToolBar->OnAdvancedCustomDrawButton = Bind(this, &TkvToolBarVCLWnd::OurAdvancedCustomDrawButton);
}

void TkvToolBarVCLWnd::RestoreEvents()
{
    if (!ToolBar)
        return;
    // Only handlers that are still ours: a later change by the application stays.
    if (ToolBar->OnAdvancedCustomDraw == Bind(this, &TkvToolBarVCLWnd::OurAdvancedCustomDraw))
        ToolBar->OnAdvancedCustomDraw = FOldDraw;
    if (ToolBar->OnAdvancedCustomDrawButton == Bind(this, &TkvToolBarVCLWnd::OurAdvancedCustomDrawButton))
        ToolBar->OnAdvancedCustomDrawButton = FOldDrawButton;
}

void TkvToolBarVCLWnd::BeforeDestruction()
{
    // However the window is given back, no event may reach a freed wrapper.
    RestoreEvents();
    TkvMainWnd::BeforeDestruction();
}

void TkvToolBarVCLWnd::RestoreStdParams()
{
    RestoreEvents();
    TkvMainWnd::RestoreStdParams();
}

TPoint TkvToolBarVCLWnd::BarPosition()
{
    InitCtrlData(this);
    return WndPos;
}

TRect TkvToolBarVCLWnd::DisplayRect() const
{
    TRect r;
    ::GetClientRect(CtrlHandle, &r);
    TRect w;
    ::GetWindowRect(CtrlHandle, &w);
    if (r.Width() < w.Width() || r.Height() < w.Height())
        return KVClientRect(CtrlHandle);
    return r;
}

bool TkvToolBarVCLWnd::Painting() const
{
    return ToolBar && !Destroyed && SkinData && SkinData->Skinned();
}

void TkvToolBarVCLWnd::OurAdvancedCustomDraw(TToolBar* Sender, TRect& ARect, TCustomDrawStage Stage,
                                             bool& DefaultDraw)
{
    if (!Painting()) {
        // Unskinned, the bar draws as its application asks.
        DefaultDraw = true;
        if (FOldDraw)
            FOldDraw(Sender, ARect, Stage, DefaultDraw);
        return;
    }
    SkinData->SetUpdating(SkinData->GetUpdating());
    if (Stage != cdPrePaint) {
        DefaultDraw = false;
        return;
    }
    if (SkinData->FUpdating)
        return;
    PaintBackground();
}

void TkvToolBarVCLWnd::OurAdvancedCustomDrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State,
                                                   TCustomDrawStage Stage, TTBCustomDrawFlags& Flags,
                                                   bool& DefaultDraw)
{
    if (!Painting()) {
        DefaultDraw = true;
        if (FOldDrawButton)
            FOldDrawButton(Sender, Button, State, Stage, Flags, DefaultDraw);
        return;
    }
    DefaultDraw = false;
    if (Stage != cdPrePaint)
        return;
    PaintButton(Button, State, Flags);
}

void TkvToolBarVCLWnd::DrawButtonEvent(TToolButton* Button, TCustomDrawState State, TTBCustomDrawFlags& Flags)
{
    bool defaultDraw = true;
    OurAdvancedCustomDrawButton(ToolBar, Button, State, cdPrePaint, Flags, defaultDraw);
}

void TkvToolBarVCLWnd::WMNCPaint(HDC DC)
{
    if (SkinData->BGChanged || !SkinData->FCacheBmp || SkinData->FCacheBmp->Empty())
        PrepareCache();
    TkvTargetDC dc(CtrlHandle, DC, true);
    PaintFrameBands(dc);
}

void TkvToolBarVCLWnd::AnswerBGInfo(TMessage& Message)
{
    auto* bg = reinterpret_cast<PkvBGInfo>(Message.LParam);
    InitCtrlData(this);
    InitBGInfo(SkinData, bg, 0, CtrlHandle);
    const TRect d = DisplayRect();
    bg->Offset.x += d.left;
    bg->Offset.y += d.top;
    Message.Result = 1;
}

bool TkvToolBarVCLWnd::Command(TMessage& Message)
{
    const bool own = Message.LParam == reinterpret_cast<LPARAM>(SkinData->GetSkinManager());
    switch (Message.WParamHi) {
    case SMC_SKIN_REMOVE:
    case SMC_SKIN_REFRESH:
        if (own)
            DroppedButton = nullptr;
        return false;
    case SMC_GET_BG_INFO:
        AnswerBGInfo(Message);
        return true;
    }
    return false;
}

bool TkvToolBarVCLWnd::SkinnedMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return true;
    case WM_NCPAINT:
        if (!InAnimationProcess)
            WMNCPaint(nullptr);
        return true;
    case WM_PRINT:
        Print(reinterpret_cast<HDC>(Message.WParam));
        return true;
    case CN_NOTIFY:
        Notified(Message);
        return false;
    }
    return false;
}

void TkvToolBarVCLWnd::AfterRoot(const TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        ::RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE);
        break;
    case WM_MOUSEMOVE:
        TrackMouse(TPoint(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))));
        break;
    case CN_DROPDOWNCLOSED:
        DropDownClosed();
        break;
    case CM_MOUSELEAVE:
        MouseLeft();
        break;
    }
}

void TkvToolBarVCLWnd::kvWndProc(TMessage& Message)
{
    if (!ToolBar || !SkinData) {
        TkvMainWnd::kvWndProc(Message);
        return;
    }
    if (Message.Msg == SM_KORVEXCMD && Command(Message))
        return;
    const bool skinned = SkinData->Skinned();
    if (skinned && SkinnedMessage(Message))
        return;
    if (CommonWndProc(Message, SkinData))
        return;
    TkvAliveGuard guard(this);
    TkvMainWnd::kvWndProc(Message);
    if (guard.Alive() && !Destroyed && ToolBar && skinned)
        AfterRoot(Message);
}
