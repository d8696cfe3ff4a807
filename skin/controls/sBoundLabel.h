// The bound label: the settings of a caption label that stands beside an
// edit-like control and moves with it.  The edit-like controls of the
// library create one, passing their own skin data, and publish it as
// "BoundLabel"; the label itself (a TsEditLabel owned by the edit) exists
// only while the bound label is Active, on the edit's parent, with the edit
// as its FocusControl.  The edit calls AlignLabel after its size or place
// changed and when its visibility, enabled state or bidirectional mode
// changed, after copying the new value to the label.  GUI thread only.
#pragma once

#include "classlib/controls/Messages.h"
#include "classlib/graphics/Graphics.h"
#include "classlib/rtl/Classes.h"
#include "skin/core/sConst.h"

class TControl;
class TsCommonData;
class TsEditLabel;

class TsBoundLabel : public TPersistent {
    KV_CLASS(TsBoundLabel)
    KV_PUBLISHED
public:
    // CommonData is the edit's skin data; its owner control is the edit.
    TsBoundLabel(TObject* AOwner, TsCommonData* CommonData);
    ~TsBoundLabel() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    const UnicodeString& Caption() const { return FText; }
    void SetText(const UnicodeString& Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TsCaptionLayout Layout() const { return FLayout; }
    void SetLayout(TsCaptionLayout Value);
    // The label's font, or the one kept while there is no label.
    TFont* GetFont() const;
    void SetFont(TFont* Value);
    // The label's UseSkinColor; True without a label, where a value set is
    // not kept.
    bool GetUseSkin() const;
    void SetUseSkin(bool Value);

    // The label's text alignment by layout.
    void UpdateAlignment();
    // Places the label beside the edit.
    void AlignLabel();

    // The label, nullptr while inactive.
    TsEditLabel* TheLabel() const { return FTheLabel; }
    // Told by the label when it is freed by other means (its owner, the
    // edit, freeing it): the bound label becomes inactive.
    void LabelGone(TsEditLabel* Label);

private:
    TControl* Edit() const;
    void CreateLabel();
    int FMaxWidth = 0;
    UnicodeString FText;
    TsCaptionLayout FLayout = sclLeft;
    TFont* FFont;
    bool FFontSet = false; // Font was set while there was no label
    int FIndent = 0;
    bool FActive = false;
    TsEditLabel* FTheLabel = nullptr;
    TsCommonData* FCommonData;
};

// The label follows its edit, for every message the edit's window procedure
// has handled: size and position realign it; visibility, enabled state
// (kept enabled under a blended disabled look) and bidirectional mode are
// copied to it first.  Nothing when Bound is nil or has no label.
void BoundLabelFollows(TsBoundLabel* Bound, TControl* Edit, TsDisabledKind DisabledKind, const TMessage& Message);
