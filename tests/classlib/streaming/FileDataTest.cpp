// A binary value written {@path} in a form text is filled in by the build
// with the bytes of that file (cmake/kv_form_data.cmake), so large values
// such as a packed skin need not be kept as hexadecimal text.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "TestComponents.h"
#include "classlib/streaming/FormReader.h"

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

} // namespace

TEST(FormFileData, ReachesTheComponentAsTheFilesBytes)
{
    RegisterTestClasses();
    const std::string built = ReadAll(std::string(KV_BUILT_FIXTURES) + "/forms/FileData.txt");
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(built.find("{@"), std::string::npos);

    const std::string file = ReadAll(std::string(KV_FIXTURES) + "/pack/small.plz");
    ASSERT_FALSE(file.empty());
    const std::vector<uint8_t> expected(file.begin(), file.end());

    std::unique_ptr<TTestForm> form(New<TTestForm>(nullptr));
    ReadComponentFromUtf8(built, form.get());
    EXPECT_EQ(form->Caption(), L"Data from a file");
    EXPECT_EQ(form->FData, expected);
    auto* list = dynamic_cast<TTestComp*>(form->FindComponent(L"List"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Items()->Count(), 1);
    EXPECT_EQ(dynamic_cast<TTestItem*>(list->Items()->Items(0))->FData, expected);
}
