#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/rtl/Streams.h"
#include "classlib/streaming/FormParser.h"
#include "classlib/streaming/FormReader.h"

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR Name, LONG_PTR Param)
{
    if (!IS_INTRESOURCE(Name))
        reinterpret_cast<std::vector<std::wstring>*>(Param)->push_back(Name);
    return TRUE;
}

bool LooksLikeForm(const std::string& Bytes)
{
    size_t i = Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (i < Bytes.size() && (Bytes[i] == ' ' || Bytes[i] == '\r' || Bytes[i] == '\n' || Bytes[i] == '\t'))
        ++i;
    for (const char* kw : {"object ", "inherited ", "inline "})
        if (Bytes.compare(i, std::strlen(kw), kw) == 0)
            return true;
    return false;
}

} // namespace

// Every form resource linked into the program is well-formed text, so a
// mistake in one shows here with its line rather than when a form opens.
TEST(FormResources, EveryFormResourceOfTheProgramParses)
{
    std::vector<std::wstring> names;
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(10), CollectName,
                       reinterpret_cast<LONG_PTR>(&names));
    for (const std::wstring& name : names) {
        TResourceStream stream(GetModuleHandleW(nullptr), name, rtRCData);
        std::string bytes(static_cast<size_t>(stream.Size()), '\0');
        if (!bytes.empty())
            stream.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
        if (!LooksLikeForm(bytes))
            continue;
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        EXPECT_TRUE(FormResourceExists(name));
        try {
            TFormObject form = ParseFormUtf8(bytes);
            EXPECT_FALSE(form.ClassName.empty());
        } catch (const EReadError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}
