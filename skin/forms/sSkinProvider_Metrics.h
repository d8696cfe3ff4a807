// The geometry of a skinned frame, computed in one place.  TsFrameFacts
// holds what the geometry depends on: the window (sizes, styles, state),
// the system's metrics, the skin's layout values and what the caption
// buttons are (shown, allowed, how wide).  TsFrameMetrics turns those facts
// into every size, offset and place that the window image's painters, the
// frame output and the hit test use, and answers the hit test itself, so
// that what is painted and what the mouse finds always agree.  A provider
// reads its facts with TsSkinProvider::Metrics().  Part of sSkinProvider.
//
// Coordinates: "window" points are relative to the window's top-left
// corner; "image" points are in the window image, which adds the shadow of
// extended borders on every side (S) and the widening of the frame and
// caption (DiffBorder, DiffTitle).  Without extended borders both agree.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/controls/Forms.h"
#include "classlib/graphics/Types.h"

// One user title button.
struct TsTitleButtonFact {
    bool Visible = true;
    bool Enabled = true;
    int Width = 21;
};

struct TsFrameFacts {
    // The window.
    int Width = 0, Height = 0;              // the window rectangle
    int ClientWidth = 0, ClientHeight = 0;  // the client rectangle
    DWORD Style = 0;
    TFormBorderStyle BorderStyle = bsSizeable;
    bool MDIChild = false;
    bool Iconic = false;
    bool Zoomed = false;
    bool SizeConstrained = false;  // a maximum width or height is set
    int FormBorderWidth = 0;       // the form's own inner border
    bool HasMenu = false;          // the form has a main menu
    bool MenuPresent = false;      // its menu line is shown
    int MenuLines = 1;
    // Skinned scroll bars of an auto-scrolling form: their thickness when
    // shown, and the square between them when both are (window coordinates).
    int HScrollHeight = 0, VScrollWidth = 0;
    TRect ScrollCorner{};

    // Extended borders: the border window exists, the maximised form keeps
    // at least the system's caption height + 4, the shadow widths.
    bool BorderForm = false;
    bool SysExHeight = false;
    TRect Shadow{};

    // The system's metrics.
    int CxFrame = 4, CxDlgFrame = 3, CyCaption = 19, CySmCaption = 15, CyMenu = 19;

    // The skin's layout values.
    int ExBorderWidth = 0, ExTitleHeight = 0, ExMaxHeight = 0, ExCenterOffs = 0, ExDrawMode = 0;
    int BILeftMargin = 0, BIRightMargin = 0, BISpacing = 0, BIVAlign = 0;

    // The caption buttons: what the system menu shows and allows, the width
    // of each face (0: the skin has none and the button is not placed).
    bool VisibleClose = false, VisibleMax = false, VisibleMin = false, ShowHelp = false;
    bool EnabledMax = false, EnabledMin = false, EnabledRestore = false;
    int CloseWidth = 0, MaxWidth = 0, MinWidth = 0, HelpWidth = 0;
    int ButtonHeight = 21;
    bool BigButtons = true;       // the border style takes the big faces (spacing applies)
    bool ButtonsAligned = true;   // the faces follow the skin's vertical alignment
    std::vector<TsTitleButtonFact> TitleButtons;
    // The buttons of a maximised MDI child in the menu line (0 width: not placed).
    bool MDIButtons = false;
    int MDIMinWidth = 0, MDICloseWidth = 0, SmallButtonWidth = 16, SmallButtonHeight = 16;

    // The title icon: shown, its given size (0: sized from the caption).
    bool IconVisible = false;
    int TitleIconWidth = 0, TitleIconHeight = 0;
    // The caption text has a frame section of its own ("CAPTION").
    bool CaptionFrame = false;

    // The size grip: shown, and its image's frame size (0: no image).
    bool GripVisible = false;
    int GripWidth = 0, GripHeight = 0;
};

// The places of the caption buttons in the window image; an empty
// rectangle for a button that is not placed.
struct TsButtonPlaces {
    TRect Close{}, Max{}, Min{}, Help{};
    std::vector<TRect> Title;  // one per title button, in collection order
    TRect MDIMin{}, MDIMax{}, MDIClose{};
};

// The icon size for a caption height: 1 up to 8 pixels (and down to -100),
// 8 up to 16, 16 above and below.
int IconSizeForCaption(int H);

class TsFrameMetrics {
public:
    explicit TsFrameMetrics(const TsFrameFacts& Facts);

    const TsFrameFacts& Facts() const { return F; }

    // A border window shows a skin whose extended-border picture is the
    // whole frame and title (ExDrawMode 1): the title's pieces go on top
    // of that picture, and the caption and buttons move by ExCenterOffs.
    bool ExMode() const { return F.BorderForm && F.ExDrawMode == 1; }
    // Width of the frame: with CheckSkin the skin's extended border width
    // when a border window exists, else the system's frame of the style.
    int SysBorderWidth(bool CheckSkin) const;
    // 0 with a border window, else SysBorderWidth.
    int SysBorderHeight(bool CheckSkin) const;
    // Height of the title bar: the skin's with CheckSkin and a border
    // window, else the system's; 0 for a form without border or caption
    // (unless it is iconic).
    int CaptionHeight(bool CheckSkin) const;
    int BorderWidth(bool CheckSkin) const;
    int BorderHeight(bool CheckSkin) const;
    int SkinTitleHeight() const;
    int DiffTitle() const;
    int DiffBorder() const;
    // One menu line (0 without main menu), and all of them.
    int MenuHeight() const;
    int LinesHeight() const;
    // The window's non-client rows above the client area.
    int HeaderHeight() const;
    // Where the client area lies in the window image.
    int OffsetX() const;
    int OffsetY() const;
    // The window image: its size, the first row below the title band, and
    // the window inside the shadow.
    int ImageWidth() const;
    int ImageHeight() const;
    int TitleBottom() const;
    TRect FrameRect() const;
    // Where the window's top-left corner lies in the image.
    TPoint ImageOrigin() const;
    // The window region while a border window shows the frame: the
    // window without its system frame and caption.
    TRect ExBorderRegion() const;

    int TitleIconWidth() const;
    int TitleIconHeight() const;
    TRect IconRect() const;
    // The room the caption buttons take from the title's right end.
    int TitleBtnsWidth() const;
    int SysButtonsCount() const;
    // The room of the caption text before it is measured.
    TRect CaptionTextRoom() const;
    const TsButtonPlaces& Buttons() const { return FButtons; }
    // Top-left of the size grip in the image.
    TPoint GripPoint() const;

    // The hit code of a point relative to the window's top-left: a caption
    // button's code (8, 9, 20, 21, 101..103, 1000 + i), a sizing border
    // (10..17), 3 on the icon, 2 on the caption, 5 on the menu line, 17 on
    // the grip, else 1 (client); 0 for a frame without caption, whose hit
    // test the system answers.
    int HitTest(const TPoint& P) const;
    // The hit code of a point of the border window (image coordinates),
    // W x H its size: a caption button's code, a sizing zone inside the
    // shadow, 3 on the icon, 2 on the title, 5 on the menu line, 17 on the
    // size grip (or the scroll bars' corner), else -1.
    int BorderWindowHitTest(const TPoint& P, int W, int H) const;

private:
    TsFrameFacts F;
    TsButtonPlaces FButtons;

    bool ThickFrame() const { return (F.Style & WS_THICKFRAME) != 0; }
    TRect PlaceButton(int& X, int Width, bool Aligned) const;
    void LayOutButtons();
    int ButtonTop(bool Aligned) const;
    int SkinButtonTop(bool Aligned) const;
    int ButtonCode(const TPoint& P) const;
    int ButtonAt(const TPoint& P) const;
    int BorderCode(const TPoint& P) const;
    int CaptionCode(const TPoint& P) const;
    int ClientCode(const TPoint& P) const;
    int BorderGripCode(const TPoint& P) const;
};

// True for the hit codes of the caption buttons.
bool IsCaptionButtonCode(int Code);
