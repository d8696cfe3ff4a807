// Wrappers of combo boxes (TkvComboBoxWnd), of their lists (TkvComboListWnd)
// and of combo-like edits of other component families (TkvWWComboBoxWnd).
// The combo wrapper paints the frame from its section and the drop-down
// button from "COMBOBTN" with the skin's combo glyph; when the drop-down
// list is first drawn it wraps the list, which then gets a skinned frame
// and skinned scroll bars.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/graphics/GdiHandles.h"
#include "skin/wrappers/kvSBUtils_Edits.h"

class TkvComboListWnd;

class TkvComboBoxWnd : public TkvEditWnd {
    KV_CLASS(TkvComboBoxWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    // Frees the list's wrapper and the list's skin data.
    ~TkvComboBoxWnd() override;
    void kvWndProc(TMessage& Message) override;

    // The drop-down button in window coordinates: at the right (at the left
    // for right-to-left reading), empty for a simple combo box.
    virtual TRect ButtonRect() const;
    // The glyph's height the button centres (16 without a glyph).
    int ButtonHeight() const;
    void PaintButton(HDC DC);
    void RepaintButton();
    // The edit part of a simple combo box into the cache.
    void PrepareSimple();
    // The shown text into the cache (for printing).
    void PaintText();
    void Invalidate();

    HWND FListHandle = nullptr;       // the drop-down list, learnt when first drawn
    TsCommonData* LBSkinData = nullptr; // owned
    TkvComboListWnd* ListSW = nullptr;  // the list's wrapper, owned

protected:
    // The button's room: the scroll bar width when the combo shows a button.
    virtual int ButtonWidth() const;

private:
    bool IsSimple() const;
    void CtlColorListBox(TMessage& Message);
    // The edit part of a drop-down or simple combo box asks its colours.
    void CtlColorEdit(TMessage& Message);
    // The field's text and background colours: the owner control's (which
    // the wrapper gives the section's), else the section's own; False in
    // dialog mode or without a section, where the system's colours stay.
    bool FieldColors(TColor& Text, TColor& Back) const;
    // Learns the list and wraps it, once.
    void WrapList(HWND List);
    void WMPaint(TMessage& Message);
    // The combo as it shows; with PRF_CHILDREN the list of a simple combo
    // box too.
    void Print(HDC DC, LPARAM Flags);
    void PrintList(HDC DC, LPARAM Flags);
    // One brush of the list's background, made again only when the colour
    // changes and deleted with the wrapper.
    GdiObject<HBRUSH> FListBrush;
    TColor FListBrushColor = clNone;
    // The same for the background of the edit part.
    GdiObject<HBRUSH> FEditBrush;
    TColor FEditBrushColor = clNone;
};

// The list of a combo box: the drop-down list (its frame drawn in the
// wrapper's colours) or the always visible list of a simple combo box.
class TkvComboListWnd : public TkvEditWnd {
    KV_CLASS(TkvComboListWnd)
public:
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    // Create, then for a drop-down list a resize from the list's current
    // size that makes it compute its frame with the skinned bars.
    static TkvComboListWnd* CreateEx(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager,
                                     const UnicodeString& SkinSection, bool Repaint, bool Simply);
    void kvWndProc(TMessage& Message) override;
    bool IsDropDownList() const override { return !SimplyBox; }

    bool Showed = false;    // shown as a drop-down, between the tracking messages
    bool SimplyBox = false; // the list of a simple combo box

protected:
    bool StylesOffWanted(const UnicodeString& SkinSection, bool Repaint) const override;

private:
    void PrepareListFrame();
    void NCPaint();
    void SimpleStrip();
    void ButtonUp(TMessage& Message);
    void Print(TMessage& Message);
};

// Combo-like edits of another component family, with a drop-down button
// only when the control shows one.
class TkvWWComboBoxWnd : public TkvComboBoxWnd {
    KV_CLASS(TkvWWComboBoxWnd)
public:
    // The control is the skin data's owner control.
    void Create(HWND AHandle, TsCommonData* ASkinData, TsSkinManager* ASkinManager, const UnicodeString& SkinSection,
                bool Repaint) override;
    bool FShowButton = true;

protected:
    int ButtonWidth() const override;
};

// A control of class exactly "TComboBox" shows a button in its drop-down
// styles only; any other control always.
bool GetShowButton(TControl* Control);
