// Graphics: colours, fonts, brushes, pens, the canvas, and the graphic
// classes (bitmaps over DIB sections, icons, pictures and the picture-format
// registry).  Every GDI handle here has an owner that releases it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <type_traits>
#include <vector>

#include "classlib/graphics/BitmapRows.h"
#include "classlib/graphics/GdiHandles.h"
#include "classlib/graphics/Types.h"
#include "classlib/rtl/Classes.h"
#include "classlib/rtl/Streams.h"
#include "classlib/rtl/System.h"
#include "classlib/rtl/TypInfo.h"

// ---------------------------------------------------------------------------
// Colours.  A TColor holds R in the lowest byte, then G, then B; a top byte of
// 0xFF marks a system colour whose index is in the lowest byte.
using TColor = int32_t;

constexpr TColor SysColor(int index) { return static_cast<TColor>(0xFF000000u | unsigned(index)); }

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(26);
constexpr TColor clGradientActiveCaption = SysColor(27);
constexpr TColor clGradientInactiveCaption = SysColor(28);
constexpr TColor clMenuHighlight = SysColor(29);
constexpr TColor clMenuBar = SysColor(30);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour (negative) becomes its current RGB value; anything else,
// clNone and clDefault included, is returned unchanged.
TColor ColorToRGB(TColor Color);
// The cl name of a colour, or "$" and eight hex digits.
UnicodeString ColorToString(TColor Color);
// A cl name (any letter case) or an integer ("$" hex allowed); other text
// raises EConvertError.
TColor StringToColor(const UnicodeString& S);
bool ColorToIdent(int32_t Color, UnicodeString& Ident);
bool IdentToColor(const UnicodeString& Ident, int32_t& Color);
// The class library's string callback (an identical alias elsewhere is harmless).
using TGetStrProc = TMethod<void(const UnicodeString&)>;
// Calls Proc with every colour name of the table, in the table's order.
void GetColorValues(TGetStrProc Proc);
// Registers the cl names ("TColor") and the charset names ("TFontCharset",
// DEFAULT_CHARSET ...) as identifiers that form resources may store.  Runs
// at start-up; calling it again does nothing.
void RegisterGraphicsIdents();
bool CharsetToIdent(int32_t Charset, UnicodeString& Ident);
bool IdentToCharset(const UnicodeString& Ident, int32_t& Charset);
// The same table for code that prefers a plain list.
struct TColorIdent {
    TColor Value;
    const wchar_t* Name;
};
const std::vector<TColorIdent>& ColorIdents();

// ---------------------------------------------------------------------------
// Font, brush and pen attributes.
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
using TFontName = UnicodeString;

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

// Raster operations of TCanvas::CopyMode.
using TCopyMode = int32_t;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// ---------------------------------------------------------------------------
// Base of TFont, TBrush and TPen: a set of attributes behind a GDI handle
// that is made when first asked for and made anew after a change.
class TGraphicsObject : public TPersistent {
    KV_CLASS(TGraphicsObject)
public:
    TNotifyEvent OnChange;

protected:
    // Drops the handle, so that the next Handle call (one inside OnChange
    // too) builds one from the new values, then tells OnChange.  The old
    // handle is deleted only after that: a canvas selects it out there.
    void Changed();
    // Gives up the handle without deleting it; nullptr when none is made.
    virtual HGDIOBJ DetachHandle() = 0;
};

class TFont : public TGraphicsObject {
    KV_CLASS(TFont)
    KV_PUBLISHED
    UnicodeString FName = L"Tahoma";
    int FHeight;
    int FPixelsPerInch;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = fpDefault;
    GdiObject<HFONT> FHandle;

    // Takes the attributes of an adopted handle.
    void SetAttributes(const LOGFONTW& lf);

protected:
    HGDIOBJ DetachHandle() override { return FHandle.Release(); }

public:
    TFont();
    void Assign(TPersistent* Source) override;

    const UnicodeString& Name() const { return FName; }
    void SetName(const UnicodeString& Value);
    // Size in points; Height in pixels, negative for the character height
    // (the usual form), positive for the cell height.
    int Size() const;
    void SetSize(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value > 0 ? Value : 96; }

    HFONT Handle();
    // Adopts a font handle: the attributes are read from it, and the font
    // deletes it when replaced or freed.
    void SetHandle(HFONT Value);
};

class TBrush : public TGraphicsObject {
    KV_CLASS(TBrush)
    KV_PUBLISHED
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    GdiObject<HBRUSH> FHandle;

protected:
    HGDIOBJ DetachHandle() override { return FHandle.Release(); }

public:
    void Assign(TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    HBRUSH Handle();
};

class TPen : public TGraphicsObject {
    KV_CLASS(TPen)
    KV_PUBLISHED
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    GdiObject<HPEN> FHandle;

protected:
    HGDIOBJ DetachHandle() override { return FHandle.Release(); }

public:
    void Assign(TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    // The mix mode is a property of the device context, set when the pen is
    // selected; changing it needs no new handle.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    HPEN Handle();
};

// ---------------------------------------------------------------------------
class TGraphic;

// A drawing surface over a device context.  Font, Brush and Pen are selected
// into the context when a drawing call needs them or the context is asked
// for (Handle), and selected out again when
// they change or the context goes.
class TCanvas : public TPersistent {
    KV_CLASS(TCanvas)
    HDC FHandle = nullptr;
    TFont* FFont;
    TBrush* FBrush;
    TPen* FPen;
    TPoint FPenPos;
    TCopyMode FCopyMode = cmSrcCopy;
    SelectedObject FFontSel, FPenSel, FBrushSel;
    std::recursive_mutex FLock;
    int FLockCount = 0;

    void FontChanged(TObject* Sender);
    void PenChanged(TObject* Sender);
    void BrushChanged(TObject* Sender);
    void DeselectHandles();

protected:
    enum TCanvasState { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
    // Makes sure the context exists (CreateHandle) and the asked objects are selected.
    void RequiredState(int State);
    // Called when a context is needed and none is set; descendants make one.
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();

public:
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    TCanvas();
    ~TCanvas() override;

    // The device context, with Font, Pen and Brush selected into it (and the
    // font's colour and the brush's background set); asking for it makes one
    // through CreateHandle when none is set.  SetHandle attaches a foreign
    // context (not owned) or, with nullptr, lets the current one go after
    // selecting our objects out.
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TBrush* Brush() const { return FBrush; }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    TPoint PenPos();
    void SetPenPos(const TPoint& Value) { MoveTo(Value.x, Value.y); }
    TRect ClipRect();

    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);

    void FillRect(const TRect& Rect);
    void FrameRect(const TRect& Rect);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& Rect) { Rectangle(Rect.left, Rect.top, Rect.right, Rect.bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& Rect) { Ellipse(Rect.left, Rect.top, Rect.right, Rect.bottom); }
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Polygon(const TPoint* Points, int Count);
    void Polygon(std::initializer_list<TPoint> Points) { Polygon(Points.begin(), int(Points.size())); }
    void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), int(Points.size())); }
    void Polyline(const TPoint* Points, int Count);
    void Polyline(std::initializer_list<TPoint> Points) { Polyline(Points.begin(), int(Points.size())); }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void DrawFocusRect(const TRect& Rect);

    void TextOut(int X, int Y, const UnicodeString& Text);
    // Writes Text at (X, Y) clipped to Rect; an opaque brush fills Rect first.
    void TextRect(const TRect& Rect, int X, int Y, const UnicodeString& Text);
    TSize TextExtent(const UnicodeString& Text);
    int TextWidth(const UnicodeString& Text) { return TextExtent(Text).cx; }
    int TextHeight(const UnicodeString& Text) { return TextExtent(Text).cy; }

    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Copies Source's SourceRect to Dest with CopyMode, stretching as needed.
    void CopyRect(const TRect& Dest, TCanvas* Source, const TRect& SourceRect);

    // Selects our objects out of the context; they are selected again on the next use.
    void Refresh() { DeselectHandles(); }
};

// ---------------------------------------------------------------------------
// The graphic classes.  A class reference (for the picture-format registry)
// is a pointer to one record per class, from GraphicClass<T>().
struct TGraphicClassInfo {
    const wchar_t* Name;
    TGraphic* (*Create)();
    bool (*IsInstance)(const TGraphic*);
};
using TGraphicClass = const TGraphicClassInfo*;

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = TMethod<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow,
                                    const TRect& R, const UnicodeString& Msg)>;

class TGraphic : public TPersistent {
    KV_CLASS(TGraphic)
    bool FModified = false;
    bool FTransparent = false;
    friend class TCanvas;

protected:
    virtual void Changed(TObject* Sender);
    // Reports the progress of a long load through OnProgress.
    virtual void Progress(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const TRect& R,
                          const UnicodeString& Msg);
    // Draws the whole graphic into Rect of Canvas (stretched to fit).
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual bool GetTransparent() const { return FTransparent; }

public:
    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

    bool Empty() const { return GetEmpty(); }
    int Width() const { return GetWidth(); }
    int Height() const { return GetHeight(); }
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual void SetSize(int AWidth, int AHeight);
    bool Transparent() const { return GetTransparent(); }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    virtual void LoadFromFile(const UnicodeString& FileName);
    virtual void SaveToFile(const UnicodeString& FileName);
};

template <class T>
TGraphicClass GraphicClass()
{
    static const TGraphicClassInfo info{
        T::StaticClassName(),
        []() -> TGraphic* {
            if constexpr (std::is_abstract_v<T>)
                return nullptr;
            else
                return New<T>();
        },
        [](const TGraphic* g) { return dynamic_cast<const T*>(g) != nullptr; }};
    return &info;
}

// ---------------------------------------------------------------------------
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// Bits per pixel of a DIB format (0 for pfDevice and pfCustom).
int BitsPerPixel(TPixelFormat Format);

class TBitmap : public TGraphic {
    KV_CLASS(TBitmap)
    friend class TBitmapCanvas;

    GdiObject<HBITMAP> FHandle;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;   // format of the current image
    TPixelFormat FWantedFormat = pfDevice;  // format for the next image made by SetSize
    TBitmapHandleType FHandleType = bmDIB;
    uint8_t* FBits = nullptr;               // DIB bits (nullptr for a DDB)
    int FStride = 0;                        // bytes of one stored row
    bool FTopDown = false;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::vector<RGBQUAD> FColors;           // colour table of a palette format
    std::vector<RGBQUAD> FWantedColors;     // colour table for the next image made by SetSize
    GdiObject<HPALETTE> FPalette;           // the palette handed out by or given to Palette
    DWORD FMasks[3] = {};                   // channel masks of a bit-field format
    TCanvas* FCanvas = nullptr;

    // RowOrder of a DIB: 0 bottom-up, 1 top-down, -1 unknown (found out by probing).
    void SetImage(HBITMAP Bmp, int RowOrder = 0);
    void DeselectImage();
    void SelectImage();
    class ImageOut; // keeps the image out of the canvas for a moment
    HBITMAP NewDib(int W, int H, TPixelFormat Format, const std::vector<RGBQUAD>& Colors, void** Bits) const;
    void ConvertTo(TPixelFormat Format);
    void MakeDIB(TPixelFormat Format);
    void MakeDDB();
    const uint8_t* Row(int Y) const;

protected:
    void Changed(TObject* Sender) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    bool GetEmpty() const override { return !FHandle; }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }

public:
    TBitmap();
    // A bitmap of the given size and format.
    TBitmap(int AWidth, int AHeight, TPixelFormat Format = pfDevice);
    ~TBitmap() override;

    void Assign(TPersistent* Source) override;
    // Resizes; pixels where the old and new sizes overlap are kept.  A zero
    // side empties the bitmap.
    void SetSize(int AWidth, int AHeight) override;
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }

    TPixelFormat PixelFormat() const;
    // Converts the pixels to the new format (24 -> 32 gives opaque alpha,
    // 32 -> 24 drops it, palette formats get a grey or black-and-white
    // palette).  On an empty bitmap it chooses the format of the next image.
    void SetPixelFormat(TPixelFormat Value);

    TBitmapHandleType HandleType() const { return FHandleType; }
    void SetHandleType(TBitmapHandleType Value);

    // Row Y as shown (0 = top), in the DIB's memory.  For the usual bottom-up
    // DIB the addresses fall as Y grows.  A DDB is made a DIB first.
    void* ScanLine(int Y);
    // The pixel rows without Windows types (a DDB is made a DIB first); an
    // empty view for an empty bitmap.  Valid until the image is replaced.
    TBitmapRows Rows();

    TCanvas* Canvas();
    HBITMAP Handle();
    // Adopts a bitmap handle (DIB section or DDB); the bitmap deletes it later.
    void SetHandle(HBITMAP Value);
    // Gives the handle to the caller; the bitmap becomes empty.
    HBITMAP ReleaseHandle();
    // The colour table of a palette format (empty for other formats).
    std::vector<RGBQUAD> ColorTable() const;
    // A palette with the colour table's entries (nullptr for formats without
    // one); the bitmap owns it.
    HPALETTE Palette();
    // Adopts Value (the bitmap deletes it later) and takes its entries as the
    // colour table: of the current image, or of the next one when empty.
    void SetPalette(HPALETTE Value);

    TColor TransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // Let the drawing context go; the pixels stay.
    void Dormant() { FreeContext(); }
    void FreeImage() { FreeContext(); }
    // Lets the canvas's device context go (the bitmap is selected out).
    void FreeContext();
};

// ---------------------------------------------------------------------------
class TIcon : public TGraphic {
    KV_CLASS(TIcon)
    IconHandle FHandle;
    std::vector<uint8_t> FData;  // the icon file's bytes, when loaded from one
    int FWidth = 0;
    int FHeight = 0;

    void HandleFromData();

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    bool GetEmpty() const override { return !FHandle && FData.empty(); }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    bool GetTransparent() const override { return true; }

public:
    void Assign(TPersistent* Source) override;
    // An icon's size comes from its image: these raise EInvalidGraphicOperation.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    HICON Handle();
    // Adopts an icon handle; the icon destroys it when replaced or freed.
    void SetHandle(HICON Value);
    // Gives the handle to the caller; the icon becomes empty.
    HICON ReleaseHandle();
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
};

// ---------------------------------------------------------------------------
// Holds one graphic of any registered class; loads files by their extension.
class TPicture : public TPersistent {
    KV_CLASS(TPicture)
    TGraphic* FGraphic = nullptr;

    void Replace(TGraphic* Value);
    void GraphicChanged(TObject* Sender);

protected:
    void AssignTo(TPersistent* Dest) override;

public:
    TNotifyEvent OnChange;

    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic; }
    // Holds a copy of Value (of the same class); nullptr empties the picture.
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap (or icon); another kind of graphic is replaced
    // by an empty one of the asked kind.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    void LoadFromFile(const UnicodeString& FileName);
    void SaveToFile(const UnicodeString& FileName);

    // Extensions are given without the dot ("png") and compared ignoring case.
    static void RegisterFileFormat(const UnicodeString& Extension, const UnicodeString& Description,
                                   TGraphicClass Class);
    static void UnregisterGraphicClass(TGraphicClass Class);
    // The registered class for an extension, or nullptr.
    static TGraphicClass FindFileFormat(const UnicodeString& Extension);
};

// A file-dialog filter of the registered formats whose class is GraphicClass
// or derives from it: "All (*.a;*.b)|*.a;*.b|Desc (*.a)|*.a|...".
UnicodeString GraphicFilter(TGraphicClass Class);
UnicodeString GraphicExtension(TGraphicClass Class);
