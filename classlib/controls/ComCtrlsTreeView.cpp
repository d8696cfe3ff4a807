// Tree views over the system's "SysTreeView32" window: the node tree, the
// expansion and selection events, and the whole control's custom drawing.
#include "classlib/controls/ComCtrls.h"

#include <algorithm>

#include "classlib/rtl/SysUtils.h"

namespace comctrls_detail {
void InitCommonControls();
}

namespace {
// Holds a flag for a scope.
class TFlagScope {
    bool& FFlag;
    bool FOld;

public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
};
} // namespace

// ---------------------------------------------------------------------------
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* Owner, TTreeNode* Parent) : FOwner(Owner), FParent(Parent) {}

TTreeNode::~TTreeNode()
{
    for (TTreeNode* child : FChildren)
        delete child;
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->Owner(); }

TTreeNode* TTreeNode::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(L"List index out of bounds (" + IntToStr(Index) + L")");
    return FChildren[size_t(Index)];
}

int TTreeNode::Index() const
{
    const auto& siblings = FOwner->SiblingsOf(FParent);
    return int(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::AbsoluteIndex() const
{
    int i = 0;
    for (TTreeNode* n = FOwner->GetFirstNode(); n && n != this; n = n->GetNext())
        ++i;
    return i;
}

int TTreeNode::Level() const
{
    int level = 0;
    for (TTreeNode* p = FParent; p; p = p->FParent)
        ++level;
    return level;
}

TTreeNode* TTreeNode::getNextSibling() const
{
    const auto& siblings = FOwner->SiblingsOf(FParent);
    size_t i = size_t(Index()) + 1;
    return i < siblings.size() ? siblings[i] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const
{
    int i = Index();
    return i > 0 ? FOwner->SiblingsOf(FParent)[size_t(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const
{
    if (!FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* n = this; n; n = n->FParent)
        if (TTreeNode* next = n->getNextSibling())
            return next;
    return nullptr;
}

void TTreeNode::UpdateItem(UINT Mask)
{
    TCustomTreeView* tv = TreeView();
    if (!FItemId || !tv->HandleAllocated())
        return;
    TVITEMW item{};
    item.mask = Mask | TVIF_HANDLE;
    item.hItem = FItemId;
    item.pszText = const_cast<wchar_t*>(FText.c_str());
    item.iImage = FImageIndex;
    item.iSelectedImage = FSelectedIndex;
    item.cChildren = HasChildren() ? 1 : 0;
    SendMessageW(tv->Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TTreeNode::SetText(const UnicodeString& Value)
{
    if (FText != Value) {
        FText = Value;
        UpdateItem(TVIF_TEXT);
    }
}

void TTreeNode::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        UpdateItem(TVIF_IMAGE);
    }
}

void TTreeNode::SetSelectedIndex(int Value)
{
    if (FSelectedIndex != Value) {
        FSelectedIndex = Value;
        UpdateItem(TVIF_SELECTEDIMAGE);
    }
}

void TTreeNode::SetHasChildren(bool Value)
{
    if (FHasChildren != Value) {
        FHasChildren = Value;
        UpdateItem(TVIF_CHILDREN);
    }
}

bool TTreeNode::Expanded() const
{
    TCustomTreeView* tv = TreeView();
    if (!FItemId || !tv->HandleAllocated())
        return FExpanded;
    return (SendMessageW(tv->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItemId), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

// Programmatic expansion asks the tree as the user's does, then acts.
void TTreeNode::ExpandItem(bool Expand)
{
    if (Expanded() == Expand)
        return;
    TCustomTreeView* tv = TreeView();
    if (Expand ? !tv->CanExpand(this) : !tv->CanCollapse(this))
        return;
    FExpanded = Expand;
    if (FItemId && tv->HandleAllocated()) {
        TFlagScope quiet(tv->FQuiet);
        SendMessageW(tv->Handle(), TVM_EXPAND, Expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
    }
}

void TTreeNode::SetExpanded(bool Value) { ExpandItem(Value); }

void TTreeNode::Expand(bool Recurse)
{
    ExpandItem(true);
    if (Recurse)
        for (TTreeNode* child : FChildren)
            child->Expand(true);
}

void TTreeNode::Collapse(bool Recurse)
{
    ExpandItem(false);
    if (Recurse)
        for (TTreeNode* child : FChildren)
            child->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool Value)
{
    TCustomTreeView* tv = TreeView();
    if (Value)
        tv->SetSelected(const_cast<TTreeNode*>(this));
    else if (Selected())
        tv->SetSelected(nullptr);
}

TRect TTreeNode::DisplayRect(bool TextOnly) const
{
    TCustomTreeView* tv = TreeView();
    if (!FItemId || !tv->HandleAllocated())
        return TRect();
    // The window reads the item from the rectangle's first bytes.
    union {
        RECT Rect;
        HTREEITEM Item;
    } query{};
    query.Item = FItemId;
    if (!SendMessageW(tv->Handle(), TVM_GETITEMRECT, TextOnly, reinterpret_cast<LPARAM>(&query.Rect)))
        return TRect();
    return query.Rect;
}

void TTreeNode::MakeVisible()
{
    TCustomTreeView* tv = TreeView();
    if (FItemId && tv->HandleAllocated())
        SendMessageW(tv->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(FItemId));
}

bool TTreeNode::EditText()
{
    TCustomTreeView* tv = TreeView();
    return FItemId && tv->HandleAllocated() &&
           SendMessageW(tv->Handle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(FItemId)) != 0;
}

void TTreeNode::EndEdit(bool Cancel)
{
    TCustomTreeView* tv = TreeView();
    if (tv->HandleAllocated())
        SendMessageW(tv->Handle(), TVM_ENDEDITLABELNOW, Cancel, 0);
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren()
{
    while (!FChildren.empty())
        FOwner->Delete(FChildren.back());
}

void TTreeNode::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TTreeNode*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    FText = other->FText;
    FData = other->FData;
    FImageIndex = other->FImageIndex;
    FSelectedIndex = other->FSelectedIndex;
    FHasChildren = other->FHasChildren;
    UpdateItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN);
}

// ---------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView* Owner) : FOwner(Owner) {}

TTreeNodes::~TTreeNodes()
{
    for (TTreeNode* n : FRoots)
        delete n;
}

int TTreeNodes::Count() const
{
    int n = 0;
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext())
        ++n;
    return n;
}

TTreeNode* TTreeNodes::Item(int Index) const
{
    TTreeNode* node = GetFirstNode();
    for (int i = 0; node && i < Index; ++i)
        node = node->GetNext();
    if (Index < 0 || !node)
        throw EListError(L"List index out of bounds (" + IntToStr(Index) + L")");
    return node;
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, int Index, const UnicodeString& S, void* Data)
{
    auto& siblings = SiblingsOf(Parent);
    auto* node = new TTreeNode(this, Parent);
    node->FText = S;
    node->FData = Data;
    siblings.insert(siblings.begin() + Index, node);
    if (FOwner->HandleAllocated() && (!Parent || Parent->FItemId)) {
        HTREEITEM after = Index == 0 ? TVI_FIRST : siblings[size_t(Index - 1)]->FItemId;
        FOwner->InsertNodeWindow(node, after);
        // The parent shows its button now.
        if (Parent && siblings.size() == 1)
            Parent->UpdateItem(TVIF_CHILDREN);
    }
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const UnicodeString& S) { return AddObject(Sibling, S, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const UnicodeString& S, void* Data)
{
    TTreeNode* parent = Sibling ? Sibling->FParent : nullptr;
    return InsertAt(parent, int(SiblingsOf(parent).size()), S, Data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const UnicodeString& S)
{
    return InsertAt(Sibling ? Sibling->FParent : nullptr, 0, S, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const UnicodeString& S)
{
    return AddChildObject(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const UnicodeString& S, void* Data)
{
    return InsertAt(Parent, int(SiblingsOf(Parent).size()), S, Data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const UnicodeString& S) { return InsertAt(Parent, 0, S, nullptr); }

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const UnicodeString& S)
{
    if (!Sibling)
        return Add(nullptr, S);
    return InsertAt(Sibling->FParent, Sibling->Index(), S, nullptr);
}

void TTreeNodes::Delete(TTreeNode* Node)
{
    if (!Node || Node->FOwner != this)
        return;
    // A kept selection inside the node goes with it.
    for (TTreeNode* p = FOwner->FSavedSelected; p; p = p->FParent)
        if (p == Node) {
            FOwner->FSavedSelected = nullptr;
            break;
        }
    // The window lets go of the node's items (and may select another node)
    // while the node is still whole.
    if (Node->FItemId && FOwner->HandleAllocated())
        SendMessageW(FOwner->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->FItemId));
    TTreeNode* parent = Node->FParent;
    auto& siblings = SiblingsOf(parent);
    siblings.erase(std::find(siblings.begin(), siblings.end(), Node));
    delete Node;
    if (parent && siblings.empty())
        parent->UpdateItem(TVIF_CHILDREN);
}

void TTreeNodes::Clear()
{
    FOwner->FSavedSelected = nullptr;
    if (FOwner->HandleAllocated()) {
        TFlagScope quiet(FOwner->FQuiet);
        SendMessageW(FOwner->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    }
    std::vector<TTreeNode*> roots;
    roots.swap(FRoots);
    for (TTreeNode* n : roots)
        delete n;
}

void TTreeNodes::BeginUpdate()
{
    if (FUpdateCount++ == 0 && FOwner->HandleAllocated())
        SendMessageW(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FOwner->HandleAllocated()) {
        SendMessageW(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
        FOwner->Invalidate();
    }
}

void TTreeNodes::Assign(TPersistent* Source)
{
    auto* other = dynamic_cast<TTreeNodes*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    BeginUpdate();
    Clear();
    struct TCopy {
        TTreeNodes* Into;
        void Nodes(const std::vector<TTreeNode*>& From, TTreeNode* Parent)
        {
            for (TTreeNode* n : From) {
                TTreeNode* copy = Into->AddChild(Parent, n->FText);
                copy->Assign(n);
                Nodes(n->FChildren, copy);
            }
        }
    } copy{this};
    copy.Nodes(other->FRoots, nullptr);
    EndUpdate();
}

// ---------------------------------------------------------------------------
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), FNodes(new TTreeNodes(this)), FCanvas(new TControlCanvas())
{
    FControlStyle = {csCaptureMouse, csClickEvents, csDoubleClicks};
    FWidth = 121;
    FHeight = 97;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FBrush->SetColor(FColor);
    FCanvas->SetControl(this);
}

TCustomTreeView::~TCustomTreeView()
{
    delete FNodes;
    delete FCanvas;
}

void TCustomTreeView::CreateParams(TCreateParams& Params)
{
    comctrls_detail::InitCommonControls();
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TREEVIEWW);
    if (FShowLines)
        Params.Style |= TVS_HASLINES;
    if (FShowRoot)
        Params.Style |= TVS_LINESATROOT;
    if (FShowButtons)
        Params.Style |= TVS_HASBUTTONS;
    if (!FReadOnly)
        Params.Style |= TVS_EDITLABELS;
    if (!FHideSelection)
        Params.Style |= TVS_SHOWSELALWAYS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::InsertNodeWindow(TTreeNode* Node, HTREEITEM After)
{
    TVINSERTSTRUCTW ins{};
    ins.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
    ins.hInsertAfter = After;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    ins.item.pszText = const_cast<wchar_t*>(Node->FText.c_str());
    ins.item.lParam = reinterpret_cast<LPARAM>(Node);
    ins.item.iImage = Node->FImageIndex;
    ins.item.iSelectedImage = Node->FSelectedIndex;
    ins.item.cChildren = Node->HasChildren() ? 1 : 0;
    Node->FItemId = reinterpret_cast<HTREEITEM>(SendMessageW(FHandle, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    for (TTreeNode* child : Node->FChildren)
        InsertNodeWindow(child, TVI_LAST);
    if (Node->FExpanded && !Node->FChildren.empty())
        SendMessageW(FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Node->FItemId));
}

void TCustomTreeView::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateColours();
    if (FImages)
        SendMessageW(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages->Handle()));
    TFlagScope quiet(FQuiet);
    for (TTreeNode* n : FNodes->FRoots)
        InsertNodeWindow(n, TVI_LAST);
    if (FSavedSelected && FSavedSelected->FItemId)
        SendMessageW(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FSavedSelected->FItemId));
    FSavedSelected = nullptr;
}

void TCustomTreeView::DestroyWnd()
{
    // Expansion and selection stay with the nodes.
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext())
        n->FExpanded = n->Expanded();
    FSavedSelected = Selected();
    {
        TFlagScope quiet(FQuiet);
        TWinControl::DestroyWnd();
    }
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext())
        n->FItemId = nullptr;
}

void TCustomTreeView::UpdateColours()
{
    if (!HandleAllocated())
        return;
    SendMessageW(FHandle, TVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
    SendMessageW(FHandle, TVM_SETTEXTCOLOR, 0, LPARAM(ColorToRGB(FFont->Color())));
}

void TCustomTreeView::CMColorChanged(TMessage& Message)
{
    TWinControl::CMColorChanged(Message);
    UpdateColours();
}

void TCustomTreeView::CMFontChanged(TMessage& Message)
{
    TWinControl::CMFontChanged(Message);
    UpdateColours();
}

TTreeNode* TCustomTreeView::Selected()
{
    if (!HandleAllocated())
        return FSavedSelected;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item)
        return nullptr;
    TVITEMW tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    SendMessageW(FHandle, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return NodeOf(tv);
}

void TCustomTreeView::SetSelected(TTreeNode* Value)
{
    if (Value && Value->FOwner != FNodes)
        return;
    if (!HandleAllocated()) {
        FSavedSelected = Value;
        return;
    }
    SendMessageW(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Value ? Value->FItemId : nullptr));
}

TTreeNode* TCustomTreeView::TopItem()
{
    if (!HandleAllocated())
        return FNodes->GetFirstNode();
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext())
        if (n->FItemId == item)
            return n;
    return nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Value)
{
    if (Value && Value->FItemId && HandleAllocated())
        SendMessageW(FHandle, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(Value->FItemId));
}

void TCustomTreeView::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    if (HandleAllocated())
        SendMessageW(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

namespace {
template <class T>
void SetAndRecreate(TWinControl* Control, T& Field, T Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Control->RecreateWnd();
}
} // namespace

void TCustomTreeView::SetShowLines(bool Value) { SetAndRecreate(this, FShowLines, Value); }
void TCustomTreeView::SetShowRoot(bool Value) { SetAndRecreate(this, FShowRoot, Value); }
void TCustomTreeView::SetShowButtons(bool Value) { SetAndRecreate(this, FShowButtons, Value); }
void TCustomTreeView::SetReadOnly(bool Value) { SetAndRecreate(this, FReadOnly, Value); }
void TCustomTreeView::SetHideSelection(bool Value) { SetAndRecreate(this, FHideSelection, Value); }

bool TCustomTreeView::IsEditing()
{
    return HandleAllocated() && SendMessageW(FHandle, TVM_GETEDITCONTROL, 0, 0) != 0;
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y)
{
    if (!HandleAllocated())
        return nullptr;
    TVHITTESTINFO info{};
    info.pt = {X, Y};
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(FHandle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (!item || !(info.flags & TVHT_ONITEM))
        return nullptr;
    for (TTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNext())
        if (n->FItemId == item)
            return n;
    return nullptr;
}

void TCustomTreeView::FullExpand()
{
    for (TTreeNode* n : FNodes->FRoots)
        n->Expand(true);
}

void TCustomTreeView::FullCollapse()
{
    for (TTreeNode* n : FNodes->FRoots)
        n->Collapse(true);
}

void TCustomTreeView::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY)
        CNNotify(Message);
    else
        TWinControl::WndProc(Message);
}

void TCustomTreeView::CNNotify(TMessage& Message)
{
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    auto* tv = reinterpret_cast<NMTREEVIEWW*>(Message.LParam);
    bool quiet = FQuiet || ComponentState().Contains(csDestroying) || FControlState.Contains(csRecreating);
    switch (hdr->code) {
    case NM_CUSTOMDRAW:
        Message.Result = CustomDrawNotify(*reinterpret_cast<NMTVCUSTOMDRAW*>(Message.LParam));
        break;
    // A non-zero answer keeps the node as it is.
    case TVN_ITEMEXPANDINGW: {
        TTreeNode* node = NodeOf(tv->itemNew);
        bool allow = quiet || !node || (tv->action & TVE_EXPAND ? CanExpand(node) : CanCollapse(node));
        Message.Result = allow ? 0 : 1;
        break;
    }
    case TVN_SELCHANGINGW: Message.Result = quiet || CanChange(NodeOf(tv->itemNew)) ? 0 : 1; break;
    case TVN_SELCHANGEDW:
        if (!quiet)
            Change(NodeOf(tv->itemNew));
        break;
    default: DefaultHandler(Message); break;
    }
}

bool TCustomTreeView::CanExpand(TTreeNode* Node)
{
    bool allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, allow);
    return allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node)
{
    bool allow = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, allow);
    return allow;
}

bool TCustomTreeView::CanChange(TTreeNode* Node)
{
    bool allow = true;
    if (OnChanging)
        OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node)
{
    if (OnChange)
        OnChange(this, Node);
}

// The whole control's stages go to CustomDraw on a canvas over the stage's
// device context; the items are left to the window.
LRESULT TCustomTreeView::CustomDrawNotify(NMTVCUSTOMDRAW& Draw)
{
    NMCUSTOMDRAW& cd = Draw.nmcd;
    if (!OnAdvancedCustomDraw)
        return CDRF_DODEFAULT;
    TCustomDrawStage stage;
    switch (cd.dwDrawStage) {
    case CDDS_PREPAINT: stage = cdPrePaint; break;
    case CDDS_POSTPAINT: stage = cdPostPaint; break;
    case CDDS_PREERASE: stage = cdPreErase; break;
    case CDDS_POSTERASE: stage = cdPostErase; break;
    default: return CDRF_DODEFAULT;
    }
    bool defaultDraw;
    {
        TCanvasPaintScope scope(FCanvas, cd.hdc);
        FCanvas->Font()->Assign(Font());
        FCanvas->Brush()->Assign(Brush());
        defaultDraw = CustomDraw(cd.rc, stage);
    }
    if (!defaultDraw)
        return CDRF_SKIPDEFAULT;
    return stage == cdPrePaint ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
}

bool TCustomTreeView::CustomDraw(const TRect& ARect, TCustomDrawStage Stage)
{
    bool defaultDraw = true;
    if (OnAdvancedCustomDraw)
        OnAdvancedCustomDraw(this, ARect, Stage, defaultDraw);
    return defaultDraw;
}

// ---------------------------------------------------------------------------
// Published properties

KV_BEGIN_PUBLISHED(TCustomTreeView, TWinControl)
    B.Bool(L"HideSelection", &C::HideSelection, &C::SetHideSelection, true);
    B.Ref(L"Images", &C::Images, &C::SetImages);
    B.Bool(L"ReadOnly", &C::ReadOnly, &C::SetReadOnly, false);
    B.Bool(L"ShowButtons", &C::ShowButtons, &C::SetShowButtons, true);
    B.Bool(L"ShowLines", &C::ShowLines, &C::SetShowLines, true);
    B.Bool(L"ShowRoot", &C::ShowRoot, &C::SetShowRoot, true);
    B.Event(L"OnAdvancedCustomDraw", &C::OnAdvancedCustomDraw);
    B.Event(L"OnChange", &C::OnChange);
    B.Event(L"OnChanging", &C::OnChanging);
    B.Event(L"OnCollapsing", &C::OnCollapsing);
    B.Event(L"OnExpanding", &C::OnExpanding);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TTreeView, TCustomTreeView)
    static_assert(sizeof(C) > 0); // all inherited
KV_END_PUBLISHED
