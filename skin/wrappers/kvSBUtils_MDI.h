// The wrapper of an MDI main form's client window (the window that holds
// the MDI children): the MDI wall painted from the form's window image,
// the client edge and the skinned scroll bars, no redrawing while the
// client scrolls, and the form's skinned caption, menu line and system
// menu kept in step when the children are tiled, cascaded or maximised or
// the MDI menu changes.  The form skinning makes it and tells it what it
// needs of the form's skinner through TkvMDIHost.
//
// Part of unit kvSBUtils.  GUI thread only.
#pragma once

#include <windows.h>

#include "classlib/controls/Forms.h"
#include "skin/wrappers/kvSBUtils_Edits.h"

// What the MDI client's wrapper needs of its form's skinner.
class TkvMDIHost {
public:
    virtual ~TkvMDIHost() = default;
    // The form is being animated: nothing is painted meanwhile.
    virtual bool Animating() = 0;
    // The form's skin data, whose cache bitmap holds its window image.
    virtual TsCommonData* FormSkinData() = 0;
    // The colour of the form's client area.
    virtual TColor FormColor() = 0;
    // Rebuilds the window image when it is out of date.
    virtual void PaintAll() = 0;
    // Where the window itself starts in the image (shadow and the widening
    // of an extended-border window); (0, 0) without one.
    virtual TPoint ImageOrigin() = 0;
    virtual bool HasBorderWindow() = 0;
    // The children were tiled or cascaded: the form's picture, menu line,
    // MDI item and system menu follow.
    virtual void ChildrenArranged() = 0;
    // The form's menu was replaced (WM_MDISETMENU).
    virtual void MenuReplaced() = 0;
    // The MDI menu was refreshed: the caption is painted again.
    virtual void MenuRefreshed() = 0;
};

class TkvMDIWnd : public TkvBaseWnd {
    KV_CLASS(TkvMDIWnd)
public:
    // Forgets MDISkinData and SkinProvider (it owns neither).
    ~TkvMDIWnd() override;
    void kvWndProc(TMessage& Message) override;

    // Splitters of the form draw their background while a maximised child
    // covers the wall.
    void UpdateGraphControls();
    // The MDI client's rectangle in the form's window image.
    TRect MDIClientRect() const;
    // The wall into DC (client coordinates); NoEdge: the client edge is not
    // left out of the copy.
    void PaintMDIWall(HDC DC, bool NoEdge);
    // The client edge into DC (window coordinates).
    void PaintMDIEdge(HDC DC);
    // The wall is the wrapper's to paint.
    bool WallEnabled() const;
    // The form has an active child that is maximised.
    bool MaximisedChild() const;

    TCustomForm* FForm = nullptr;
    TsCommonData* MDISkinData = nullptr;
    TkvMDIHost* SkinProvider = nullptr;

private:
    bool HandleOwn(TMessage& Message);
    void EraseBkgnd(TMessage& Message);
    void NCPaint(TMessage& Message);
    void Arranged(TMessage& Message);
    void Print(TMessage& Message);
    void AfterBase(TMessage& Message);
    bool HasClientEdge() const;
};
