// Default class-name lists of the foreign controls the skinning rules know.
#pragma once

enum TkvThirdPartyTypes {
    tpEdit, tpButton, tpBitBtn, tpCheckBox, tpComboBox, tpGrid, tpGroupBox, tpListView, tpPanel,
    tpTreeView, tpwwEdit, tpGridEh, tpVirtualTree, tpPageControl, tpTabControl, tpToolBar,
    tpStatusBar, tpSpeedButton
};
inline constexpr int kvThirdPartyCount = tpSpeedButton + 1;

// Initial text of the skin manager's class-name list of each kind: only plain
// buttons are taken over by default; a single blank stands for an empty list.
inline constexpr const wchar_t* kvThirdNames[kvThirdPartyCount] = {
    L" ", L"TButton", L" ", L" ", L" ", L" ", L" ", L" ", L" ",
    L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ", L" ",
};

// Display name of each kind.
inline constexpr const wchar_t* kvThirdCaptions[kvThirdPartyCount] = {
    L"Edit", L"Button", L"BitBtn", L"CheckBox", L"ComboBox", L"Grid", L"GroupBox", L"ListView",
    L"Panel", L"TreeView", L"wwEdit", L"GridEh", L"VirtualTree", L"PageControl", L"TabControl",
    L"ToolBar", L"StatusBar", L"SpeedButton",
};
