// The controls' names for form resources: cursor names and published
// property tables.
#include "classlib/controls/Controls.h"

#include "classlib/controls/Menus.h"

// Cursor names, for form resources ("Cursor = crHandPoint").
namespace {
struct TCursorIdent {
    TCursor Value;
    const wchar_t* Name;
};
const TCursorIdent CursorIdents[] = {
    {crDefault, L"crDefault"}, {crNone, L"crNone"}, {crArrow, L"crArrow"}, {crCross, L"crCross"},
    {crIBeam, L"crIBeam"}, {crSizeNESW, L"crSizeNESW"}, {crSizeNS, L"crSizeNS"}, {crSizeNWSE, L"crSizeNWSE"},
    {crSizeWE, L"crSizeWE"}, {crUpArrow, L"crUpArrow"}, {crHourGlass, L"crHourGlass"}, {crDrag, L"crDrag"},
    {crNoDrop, L"crNoDrop"}, {crHSplit, L"crHSplit"}, {crVSplit, L"crVSplit"}, {crMultiDrag, L"crMultiDrag"},
    {crSQLWait, L"crSQLWait"}, {crNo, L"crNo"}, {crAppStart, L"crAppStart"}, {crHelp, L"crHelp"},
    {crHandPoint, L"crHandPoint"}, {crSizeAll, L"crSizeAll"},
};
bool CursorToInt(const UnicodeString& Ident, int64_t& Value)
{
    for (const TCursorIdent& c : CursorIdents)
        if (_wcsicmp(c.Name, Ident.c_str()) == 0) {
            Value = c.Value;
            return true;
        }
    return false;
}
bool IntToCursor(int64_t Value, UnicodeString& Ident)
{
    for (const TCursorIdent& c : CursorIdents)
        if (c.Value == Value) {
            Ident = c.Name;
            return true;
        }
    return false;
}
const bool CursorIdentsRegistered = (RegisterIntegerConsts(L"TCursor", CursorToInt, IntToCursor), true);
} // namespace

// ---------------------------------------------------------------------------
// Published properties.
namespace {
const std::initializer_list<const wchar_t*> AlignNames = {L"alNone", L"alTop", L"alBottom", L"alLeft",
                                                          L"alRight", L"alClient", L"alCustom"};
} // namespace

KV_BEGIN_PUBLISHED(TControl, TComponent)
    B.Int(L"Left", &C::Left, &C::SetLeft);
    B.Int(L"Top", &C::Top, &C::SetTop);
    B.Int(L"Width", &C::Width, &C::SetWidth);
    B.Int(L"Height", &C::Height, &C::SetHeight);
    B.Enum(L"Align", &C::Align, &C::SetAlign, alNone, AlignNames, L"TAlign");
    B.Set(L"Anchors", &C::Anchors, &C::SetAnchors, 3, {L"akLeft", L"akTop", L"akRight", L"akBottom"}, L"TAnchors");
    B.Str(L"Caption", &C::Caption, &C::SetCaption);
    B.Int(L"Color", &C::Color, &C::SetColor, TPropInfo::NoDefault, L"TColor");
    B.Bool(L"ParentColor", &C::ParentColor, &C::SetParentColor, true);
    B.Object(L"Font", &C::Font, &C::SetFont);
    B.Object(L"Constraints", &C::Constraints, &C::SetConstraints);
    B.Bool(L"ParentFont", &C::ParentFont, &C::SetParentFont, true);
    B.Bool(L"Visible", &C::Visible, &C::SetVisible, true);
    B.Bool(L"Enabled", &C::Enabled, &C::SetEnabled, true);
    B.Int(L"Cursor", &C::Cursor, &C::SetCursor, crDefault, L"TCursor");
    B.Str(L"Hint", &C::Hint, &C::SetHint);
    B.Bool(L"ShowHint", &C::ShowHint, &C::SetShowHint, false);
    B.Bool(L"ParentShowHint", &C::ParentShowHint, &C::SetParentShowHint, true);
    B.Ref(L"PopupMenu", &C::PopupMenu, &C::SetPopupMenu);
    B.Enum(L"BiDiMode", &C::BiDiMode, &C::SetBiDiMode, bdLeftToRight,
           {L"bdLeftToRight", L"bdRightToLeft", L"bdRightToLeftNoAlign", L"bdRightToLeftReadingOnly"}, L"TBiDiMode");
    B.Bool(L"ParentBiDiMode", &C::ParentBiDiMode, &C::SetParentBiDiMode, true);
    B.Event(L"OnClick", &C::OnClick);
    B.Event(L"OnDblClick", &C::OnDblClick);
    B.Event(L"OnMouseDown", &C::OnMouseDown);
    B.Event(L"OnMouseUp", &C::OnMouseUp);
    B.Event(L"OnMouseMove", &C::OnMouseMove);
    B.Event(L"OnMouseEnter", &C::OnMouseEnter);
    B.Event(L"OnMouseLeave", &C::OnMouseLeave);
    B.Event(L"OnResize", &C::OnResize);
    B.Event(L"OnContextPopup", &C::OnContextPopup);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TWinControl, TControl)
    B.Int(L"TabOrder", &C::TabOrder, &C::SetTabOrder, -1);
    B.Bool(L"TabStop", &C::TabStop, &C::SetTabStop, false);
    B.Bool(L"DoubleBuffered", &C::DoubleBuffered, &C::SetDoubleBuffered, false);
    B.Bool(L"ParentBackground", &C::ParentBackground, &C::SetParentBackground, false);
    B.Int(L"BorderWidth", &C::BorderWidth, &C::SetBorderWidth, 0);
    B.Bool(L"Ctl3D", &C::Ctl3D, &C::SetCtl3D, true);
    B.Bool(L"ParentCtl3D", &C::ParentCtl3D, &C::SetParentCtl3D, true);
    B.Event(L"OnEnter", &C::OnEnter);
    B.Event(L"OnExit", &C::OnExit);
    B.Event(L"OnKeyDown", &C::OnKeyDown);
    B.Event(L"OnKeyUp", &C::OnKeyUp);
    B.Event(L"OnKeyPress", &C::OnKeyPress);
    B.Event(L"OnMouseWheel", &C::OnMouseWheel);
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TGraphicControl, TControl)
KV_END_PUBLISHED

KV_BEGIN_PUBLISHED(TCustomControl, TWinControl)
KV_END_PUBLISHED
