// Reader of a book's page-settings file ("Page_var.txt"): pairs of the shape
// &key=value&, read byte by byte into a map.
#pragma once

#include "classlib/rtl/System.h"

#include <map>

class VKBTxtParser : public TObject {
    KV_CLASS(VKBTxtParser)
public:
    // Reads the file into the map: 0 when read, -1 when it cannot be opened
    // (the map then stays empty).
    int Load(const UnicodeString& Path);
    // The value stored for the key; an unknown key reads as empty text.
    UnicodeString Get(const UnicodeString& Key) const;

private:
    // The pair rules; Buffer holds Size bytes and a zero byte after them.
    // Its '&' and '=' bytes are overwritten with zero bytes.
    void ParseBuffer(char* Buffer, size_t Size);

    std::map<UnicodeString, UnicodeString> FMap;
};
