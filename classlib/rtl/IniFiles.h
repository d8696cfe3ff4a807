// INI settings: TIniFile works on the file through the system's profile
// functions; TMemIniFile holds the whole text in memory (sections and keys
// in file order, names matched without regard to case) and writes it back
// only on UpdateFile.
#pragma once

#include <deque>
#include <string_view>
#include <vector>

#include "classlib/rtl/System.h"

class TStrings;

class TCustomIniFile : public TObject {
    KV_CLASS(TCustomIniFile)
public:
    explicit TCustomIniFile(const UnicodeString& FileName) : FFileName(FileName) {}
    const UnicodeString& FileName() const { return FFileName; }

    virtual UnicodeString ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                                     const UnicodeString& Default) = 0;
    virtual void WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value) = 0;
    // Decimal, "$" or "0x" hexadecimal; Default when missing or not a number.
    virtual int ReadInteger(const UnicodeString& Section, const UnicodeString& Ident, int Default);
    virtual void WriteInteger(const UnicodeString& Section, const UnicodeString& Ident, int Value);
    // A number other than 0 is true; Default when missing or not a number.
    virtual bool ReadBool(const UnicodeString& Section, const UnicodeString& Ident, bool Default);
    virtual void WriteBool(const UnicodeString& Section, const UnicodeString& Ident, bool Value);

    // The key names of Section / the section names / the "key=value" lines of
    // Section; Strings is cleared first.
    virtual void ReadSection(const UnicodeString& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(const UnicodeString& Section, TStrings* Strings) = 0;
    virtual void EraseSection(const UnicodeString& Section) = 0;
    virtual void DeleteKey(const UnicodeString& Section, const UnicodeString& Ident) = 0;
    virtual void UpdateFile() = 0;
    virtual bool SectionExists(const UnicodeString& Section);
    virtual bool ValueExists(const UnicodeString& Section, const UnicodeString& Ident);

protected:
    void SetFileName(const UnicodeString& Value) { FFileName = Value; }
    // Replaces the content of Strings with Lines, announced as one change.
    static void FillStrings(TStrings* Strings, const std::vector<UnicodeString>& Lines);

private:
    UnicodeString FFileName;
};

// On the file itself; every write goes to the file at once.  A failed write
// raises EIniFileException "Unable to write to <file>".
class TIniFile : public TCustomIniFile {
    KV_CLASS(TIniFile)
public:
    explicit TIniFile(const UnicodeString& FileName) : TCustomIniFile(FileName) {}
    ~TIniFile() override;

    UnicodeString ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                             const UnicodeString& Default) override;
    void WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value) override;
    void ReadSection(const UnicodeString& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const UnicodeString& Section, TStrings* Strings) override;
    void EraseSection(const UnicodeString& Section) override;
    void DeleteKey(const UnicodeString& Section, const UnicodeString& Ident) override;
    // Flushes the system's cached copy of the file.
    void UpdateFile() override;
};

// In memory.  Made with a file name, it reads that file (ANSI text) when it
// exists; with an empty name it starts empty and never touches the disk.
class TMemIniFile : public TCustomIniFile {
    KV_CLASS(TMemIniFile)
public:
    explicit TMemIniFile(const UnicodeString& FileName = UnicodeString());
    ~TMemIniFile() override;

    UnicodeString ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                             const UnicodeString& Default) override;
    void WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value) override;
    void ReadSection(const UnicodeString& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void ReadSectionValues(const UnicodeString& Section, TStrings* Strings) override;
    void EraseSection(const UnicodeString& Section) override;
    void DeleteKey(const UnicodeString& Section, const UnicodeString& Ident) override;
    // Writes the text to the file (nothing without a file name).
    void UpdateFile() override;

    void Clear();
    // Replaces the content with INI text lines: "[name]" starts a section,
    // "key=value" lines (blanks around the key and the value dropped) and
    // other lines belong to it; blank lines, ";" comments and lines before
    // the first section are dropped.
    void SetStrings(TStrings* List);
    // The same from one text, its lines ending at CR, LF or CR LF, without
    // the string list SetStrings reads.
    void SetText(const UnicodeString& Text);
    // The content as INI text, a blank line after each section.
    void GetStrings(TStrings* List);
    // Re-reads the file named FileName (or empties the content).
    void Rename(const UnicodeString& FileName, bool Reload);
    bool CaseSensitive() const { return FCaseSensitive; }
    // Visit(section name, its lines) for every section in order, without
    // the copies ReadSections and ReadSectionValues make.  The lines are
    // views, valid while the content is unchanged.
    template <class F>
    void ForEachSection(F Visit) const
    {
        for (const Section& s : FSections)
            Visit(s.Name, s.Lines);
    }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

private:
    struct Section {
        UnicodeString Name;
        // "key=value", or text without '=': views of FText, the text the
        // content was read from, one allocation for all of them.
        std::vector<std::wstring_view> Lines;
    };
    // A line of its own (a written key, a line rebuilt without blanks),
    // kept where it never moves; the view of it.
    std::wstring_view Keep(UnicodeString Line);
    Section* FindSection(const UnicodeString& Name);
    int FindKey(const Section& Sec, const UnicodeString& Ident) const;
    bool Same(std::wstring_view a, std::wstring_view b) const;
    void LoadValues();
    // One line of SetStrings; Current is the section lines go to.
    void AddLine(std::wstring_view Line, Section*& Current);

    std::vector<Section> FSections;
    // The texts the lines are views of; a deque never moves its strings.
    std::deque<UnicodeString> FText;
    bool FCaseSensitive = false;
};
