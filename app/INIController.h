// The window styles of the ".ini" file beside the executable, read once per
// process and handed to the main window and the pop-up windows.
#pragma once

#include "classlib/rtl/System.h"

class INIController {
public:
    // The process-wide instance, made (with six empty texts) on first use
    // and never destroyed.
    static INIController* GetInstance();

    // Reads the six values from the executable's path with ".ini" as
    // extension, replacing what was held.
    void Load();
    // The same from a given file (Load's worker).
    void LoadFromFile(const UnicodeString& FileName);

    UnicodeString GetMainFormBorderStyle() const { return FMainFormBorderStyle; }
    UnicodeString GetChildWidth() const { return FChildWidth; }
    UnicodeString GetChildHeight() const { return FChildHeight; }
    UnicodeString GetChildBorderStyle() const { return FChildBorderStyle; }
    UnicodeString GetChildWindowState() const { return FChildWindowState; }
    UnicodeString GetChildScale() const { return FChildScale; }

private:
    INIController() = default;
    INIController(const INIController&) = delete;
    INIController& operator=(const INIController&) = delete;

    UnicodeString FMainFormBorderStyle;
    UnicodeString FChildWidth;
    UnicodeString FChildHeight;
    UnicodeString FChildBorderStyle;
    UnicodeString FChildWindowState;
    UnicodeString FChildScale;
};
